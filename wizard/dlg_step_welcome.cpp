#include "wizard/dlg_step_welcome.h"

#include "engine/catalogue.h"
#include "engine/catalogue_ids.h"
#include "res/resource.h"

CDlgStepWelcome::CDlgStepWelcome() : CDialog(IDD_STEP_WELCOME) {}

BOOL CDlgStepWelcome::OnInitDialog()
{
    CDialog::OnInitDialog();
    std::string text;
    LoadCatalogueText(CAT_WELCOME_TEXT, text);
    ::SetDlgItemTextA(m_hWnd, IDC_WELCOME_TEXT, text.c_str());
    return TRUE;
}
