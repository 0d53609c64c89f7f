// CDlgStep2: the wizard's port page, every port the local spooler knows in
// its own order, with "LPT1:" preselected when it exists.
#pragma once

#include "ui/dialog.h"

#include <string>

class CDlgStep2 : public CDialog {
public:
    CDlgStep2();

    // The port chosen when the page was last saved (UpdateData(true)).
    const std::string& Port() const { return m_port; }

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

private:
    void FillPortList();
    void ShowMessage(UINT textId);

    std::string m_port;
};
