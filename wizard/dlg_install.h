// CDlgInstall: the setup wizard's frame. It stacks its five pages on the
// page area, moves between them with Back and Next, and the final Next
// publishes the chosen model and port and hands over to the progress window.
#pragma once

#include "ui/button.h"
#include "ui/dialog.h"
#include "wizard/dlg_step1.h"
#include "wizard/dlg_step2.h"
#include "wizard/dlg_step3.h"
#include "wizard/dlg_step_agreement.h"
#include "wizard/dlg_step_welcome.h"

#include <array>

class CDlgInstall : public CDialog {
public:
    // The owner is the application's main window (the launcher).
    CDlgInstall();

    // Enter and Escape inside a page press Next and Cancel.
    BOOL PreTranslateMessage(MSG* message) override;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    void OnBack();
    void OnNext();
    void OnFinish();
    void ShowConfirmation();
    void SetButtonCaptions(UINT nextId, UINT cancelId);
    std::array<CDialog*, 5> Pages();
    bool IsInsidePage(HWND window);

    CDlgStepWelcome m_welcome;
    CDlgStepAgreement m_agreement;
    CDlgStep1 m_model;
    CDlgStep2 m_port;
    CDlgStep3 m_confirm;
    CButton m_cancel;
    CButton m_next;
    CButton m_back;
    int m_step = 1;
};
