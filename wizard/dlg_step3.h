// CDlgStep3: the wizard's confirmation page. The frame fills its model and
// port labels; the page itself only displays.
#pragma once

#include "ui/dialog.h"
#include "ui/static.h"

class CDlgStep3 : public CDialog {
public:
    CDlgStep3();

    CStatic m_model;
    CStatic m_port;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
};
