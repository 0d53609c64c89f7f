// CDlgStepWelcome: the wizard's first page, greeting the user with the
// product's name.
#pragma once

#include "ui/dialog.h"

class CDlgStepWelcome : public CDialog {
public:
    CDlgStepWelcome();

protected:
    BOOL OnInitDialog() override;
};
