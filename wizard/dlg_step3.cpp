#include "wizard/dlg_step3.h"

#include "res/resource.h"
#include "ui/ddx.h"

CDlgStep3::CDlgStep3() : CDialog(IDD_STEP_CONFIRM) {}

void CDlgStep3::DoDataExchange(CDataExchange* dx)
{
    DDX_Control(dx, IDC_MODEL_VALUE, m_model);
    DDX_Control(dx, IDC_PORT_VALUE, m_port);
}

BOOL CDlgStep3::OnInitDialog() { return CDialog::OnInitDialog(); }
