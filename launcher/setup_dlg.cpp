#include "launcher/setup_dlg.h"

#include "engine/catalogue.h"
#include "engine/catalogue_ids.h"
#include "engine/ops.h"
#include "launcher/about_dlg.h"
#include "launcher/system_folders.h"
#include "res/resource.h"
#include "ui/ddx.h"
#include "wizard/dlg_install.h"

#include <cstring>
#include <string>

namespace {

// A bold screen font of `tenthsOfPoint` in the face of catalogue entry 150.
HFONT CreateLauncherFont(const std::string& face, int tenthsOfPoint)
{
    LOGFONTA description = {};
    description.lfWeight = FW_BOLD;
    // A face that does not fit the 31 bytes of the field would be cut into a
    // name no font has; the platform's default face serves then.
    if (face.size() < sizeof description.lfFaceName)
        std::memcpy(description.lfFaceName, face.c_str(), face.size());
    WindowDC screen(nullptr);
    description.lfHeight = -::MulDiv(::GetDeviceCaps(screen.Get(), LOGPIXELSY), tenthsOfPoint, 720);
    return ::CreateFontIndirectA(&description);
}

void SetItemText(HWND dialog, int id, UINT entry)
{
    std::string text;
    LoadCatalogueText(entry, text);
    ::SetDlgItemTextA(dialog, id, text.c_str());
}

}  // namespace

CSetupDlg::CSetupDlg()
    : CDialog(IDD_SETUP),
      m_hIcon(::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME)))
{
    std::string face;
    LoadCatalogueText(CAT_FONT_FACE, face);
    m_fontNormal.Reset(CreateLauncherFont(face, 120));
    m_fontTitle.Reset(CreateLauncherFont(face, 180));
}

void CSetupDlg::DoDataExchange(CDataExchange* dx)
{
    DDX_Control(dx, IDC_DRIVER, m_btnDriver);
    DDX_Control(dx, IDC_README, m_btnReadme);
    DDX_Control(dx, IDC_EXIT, m_btnExit);
}

BOOL CSetupDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    if (HMENU menu = GetSystemMenu(FALSE)) {
        std::string about;
        LoadCatalogueText(CAT_ABOUT_ITEM, about);
        if (!about.empty()) {
            ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, about.c_str());
        }
    }
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    // The label takes its address from its text when it is attached.
    SetItemText(m_hWnd, IDC_LINK, CAT_WEB_ADDRESS);
    m_link.SubclassDlgItem(IDC_LINK, m_hWnd);

    // One string for the three captions: a missing entry leaves the text
    // read before it.
    std::string caption;
    LoadCatalogueText(CAT_README_CAPTION, caption);
    m_btnReadme.m_caption = caption;
    m_btnReadme.SetFont(m_fontNormal.Get());
    LoadCatalogueText(CAT_DRIVER_CAPTION, caption);
    m_btnDriver.m_caption = caption;
    m_btnDriver.SetFont(m_fontNormal.Get());
    LoadCatalogueText(CAT_EXIT_CAPTION, caption);
    m_btnExit.m_caption = caption;
    m_btnExit.SetFont(m_fontNormal.Get());

    SetItemText(m_hWnd, IDC_TITLE, CAT_TITLE);
    ::SendDlgItemMessageA(m_hWnd, IDC_TITLE, WM_SETFONT, reinterpret_cast<WPARAM>(m_fontTitle.Get()), TRUE);
    SetItemText(m_hWnd, IDC_VERSION, CAT_VERSION);
    ::SendDlgItemMessageA(m_hWnd, IDC_VERSION, WM_SETFONT, reinterpret_cast<WPARAM>(m_fontNormal.Get()), TRUE);

    // The platform puts the focus on the first tab stop, the link.
    return TRUE;
}

BOOL CSetupDlg::PreTranslateMessage(MSG* message)
{
    if (message->message == WM_KEYDOWN && message->wParam == VK_RETURN) {
        if (message->hwnd == m_btnReadme.m_hWnd)
            OnReadme();
        else if (message->hwnd == m_btnDriver.m_hWnd)
            OnDriver();
        else if (message->hwnd == m_btnExit.m_hWnd)
            OnExit();
        return TRUE;
    }
    return CDialog::PreTranslateMessage(message);
}

bool CSetupDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
        case IDC_EXIT:
            OnExit();
            return true;
        case IDC_DRIVER:
            OnDriver();
            return true;
        case IDC_README:
            OnReadme();
            return true;
        }
    }
    return CDialog::OnCommand(wParam, lParam);
}

LRESULT CSetupDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SYSCOMMAND:
        OnSysCommand(static_cast<UINT>(wParam), lParam);
        return 0;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_QUERYDRAGICON:
        return reinterpret_cast<LRESULT>(m_hIcon);
    }
    // Erasing and control colours stay the dialog manager's: the launcher
    // shows the system's dialog face and default text colour.
    return CDialog::WindowProc(message, wParam, lParam);
}

void CSetupDlg::OnReadme()
{
    // The program runs elevated from a download folder: Notepad comes from
    // the Windows folder by its full path, never by a bare name that the
    // current directory could answer, and starts in the system folder.
    std::string file;
    LoadCatalogueText(CAT_README_FILE, file);
    std::string parameter = "\"";
    parameter += JoinFolder(CurrentFolder(), file);
    parameter += '"';
    std::string notepad = JoinFolder(WindowsFolder(), "notepad.exe");
    std::string folder = SystemFolder();
    g_ops.ShellExecuteA(m_hWnd, "open", notepad.c_str(), parameter.c_str(), folder.c_str(), SW_SHOW);
}

void CSetupDlg::OnDriver()
{
    // A click that reaches a disabled launcher (it is disabled while the
    // wizard and the install run) must not start a second wizard.
    if (m_wizardRunning || !IsWindowEnabled())
        return;
    m_wizardRunning = true;
    {
        CDlgInstall wizard;
        wizard.DoModal();
    }
    m_wizardRunning = false;
}

void CSetupDlg::OnExit() { OnCancel(); }

void CSetupDlg::OnSysCommand(UINT id, LPARAM lParam)
{
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about(this);
        about.DoModal();
        return;
    }
    Default(WM_SYSCOMMAND, id, lParam);
}

void CSetupDlg::OnPaint()
{
    if (!IsIconic()) {
        Default(WM_PAINT, 0, 0);
        return;
    }
    PaintDC dc(m_hWnd);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.Get()));
    int width = ::GetSystemMetrics(SM_CXICON), height = ::GetSystemMetrics(SM_CYICON);
    RECT client;
    GetClientRect(&client);
    int x = (client.right - client.left - width + 1) / 2;
    int y = (client.bottom - client.top - height + 1) / 2;
    ::DrawIcon(dc.Get(), x, y, m_hIcon);
}
