#include "wizard/dlg_step1.h"

#include "engine/catalogue.h"
#include "engine/catalogue_ids.h"
#include "res/resource.h"
#include "ui/ddx.h"

CDlgStep1::CDlgStep1() : CDialog(IDD_STEP_MODEL) {}

void CDlgStep1::DoDataExchange(CDataExchange* dx)
{
    DDX_LBString(dx, IDC_LIST, m_model);
}

BOOL CDlgStep1::OnInitDialog()
{
    CDialog::OnInitDialog();
    std::string models;
    LoadCatalogueText(CAT_MODELS, models);
    HWND list = GetDlgItem(IDC_LIST);
    // Explicit indexes keep catalogue order although the list sorts on add.
    WPARAM row = 0;
    for (const std::string& model : SplitItemList(models))
        ::SendMessageA(list, LB_INSERTSTRING, row++, reinterpret_cast<LPARAM>(model.c_str()));
    ::SendMessageA(list, LB_SETCURSEL, 0, 0);
    return TRUE;
}
