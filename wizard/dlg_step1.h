// CDlgStep1: the wizard's model page, the catalogue's model names with the
// first one preselected.
#pragma once

#include "ui/dialog.h"

#include <string>

class CDlgStep1 : public CDialog {
public:
    CDlgStep1();

    // The model chosen when the page was last saved (UpdateData(true)).
    const std::string& Model() const { return m_model; }

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

private:
    std::string m_model;
};
