#include "launcher/installer_app.h"

#include "engine/ops.h"
#include "launcher/setup_dlg.h"

#include <commctrl.h>

CInstallerApp g_app;

BOOL CInstallerApp::InitInstance()
{
    // Binds the spooler, SetupAPI and shell operations from the system
    // directory; nothing of those is imported by the executable.
    BindEngineOps();
    InitCommonControlClasses(ICC_WIN95_CLASSES);
    CWinApp::InitInstance();

    CSetupDlg launcher;
    m_pMainWnd = &launcher;
    launcher.DoModal();
    m_pMainWnd = nullptr;
    // No message loop of our own: the process ends with WinMain's status.
    return FALSE;
}
