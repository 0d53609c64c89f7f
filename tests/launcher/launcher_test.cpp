#include "launcher_harness.h"

#include "launcher/system_folders.h"
#include "res/resource.h"
#include "support/test_support.h"
#include "ui/winapp.h"

#include <gtest/gtest.h>

namespace {

// The application object of this test program: the wizard takes the
// launcher as its owner from it, as in Setup.exe.
CWinApp g_testApp;

class MainWindow {
public:
    explicit MainWindow(CWnd& window) { g_testApp.m_pMainWnd = &window; }
    ~MainWindow() { g_testApp.m_pMainWnd = nullptr; }
};

std::string ItemText(HWND dialog, int id)
{
    char text[512] = {};
    ::GetDlgItemTextA(dialog, id, text, sizeof text);
    return AnsiToUtf8(text);
}

HFONT ItemFont(HWND dialog, int id)
{
    return reinterpret_cast<HFONT>(::SendDlgItemMessageA(dialog, id, WM_GETFONT, 0, 0));
}

void Click(HWND button) { ::PostMessageA(button, BM_CLICK, 0, 0); }

void PostKey(HWND target, WPARAM key) { ::PostMessageA(target, WM_KEYDOWN, key, 0); }

// The caption drawn on a button in its plain look: where the pixels that
// are not the parent's face colour lie.
RECT DrawnCaption(HWND button)
{
    Pixels pixels(button);
    RECT inner = {2, 2, pixels.Width() - 2, pixels.Height() - 2};
    return pixels.BoundsOfOthers(inner, ::GetSysColor(COLOR_3DFACE));
}

SIZE CaptionExtent(HFONT font, const std::string& caption)
{
    HDC screen = ::GetDC(nullptr);
    HGDIOBJ previous = ::SelectObject(screen, font);
    SIZE extent = {};
    ::GetTextExtentPoint32A(screen, caption.c_str(), static_cast<int>(caption.size()), &extent);
    ::SelectObject(screen, previous);
    ::ReleaseDC(nullptr, screen);
    return extent;
}

}  // namespace

TEST(Launcher, ShowsTheCatalogueTextsFontsIconAndAboutItem)
{
    const LauncherTexts& expect = ExpectedTexts();
    ScriptedLauncher launcher;
    launcher.steps = {[&] {
        HWND window = launcher.m_hWnd;
        EXPECT_EQ(ItemText(window, IDC_TITLE), expect.title);
        EXPECT_EQ(ItemText(window, IDC_VERSION), expect.version);
        EXPECT_EQ(ItemText(window, IDC_LINK), expect.link);
        EXPECT_EQ(AnsiToUtf8(launcher.Link().Url()), expect.link);
        EXPECT_EQ(::GetFocus(), launcher.Link().m_hWnd) << "the link is the first tab stop";

        struct {
            CMyButton& button;
            const char* caption;
        } buttons[] = {{launcher.Readme(), expect.readme}, {launcher.Driver(), expect.driver},
                       {launcher.Exit(), expect.exit}};
        for (auto& b : buttons) {
            SCOPED_TRACE(b.caption);
            EXPECT_EQ(AnsiToUtf8(b.button.m_caption), b.caption);
            EXPECT_NE(b.button.GetWindowText(), b.button.m_caption) << "the window keeps its template text";
            EXPECT_EQ(b.button.GetStyle() & BS_TYPEMASK, static_cast<LONG_PTR>(BS_OWNERDRAW));
            EXPECT_EQ(b.button.GetFont(), launcher.NormalFont());
            // The caption is drawn centred, as wide as the text in the button's font.
            RECT drawn = DrawnCaption(b.button.m_hWnd);
            SIZE extent = CaptionExtent(launcher.NormalFont(), b.button.m_caption);
            RECT client;
            b.button.GetClientRect(&client);
            EXPECT_NEAR(drawn.right - drawn.left, extent.cx, 4);
            EXPECT_NEAR((drawn.left + drawn.right) / 2, client.right / 2, 3);
            EXPECT_NEAR((drawn.top + drawn.bottom) / 2, client.bottom / 2, 4);
        }

        EXPECT_EQ(ItemFont(window, IDC_TITLE), launcher.TitleFont());
        EXPECT_EQ(ItemFont(window, IDC_VERSION), launcher.NormalFont());
        HDC screen = ::GetDC(nullptr);
        int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
        ::ReleaseDC(nullptr, screen);
        for (auto [font, tenths] : {std::pair{launcher.NormalFont(), 120}, std::pair{launcher.TitleFont(), 180}}) {
            LOGFONTA description = {};
            ASSERT_TRUE(::GetObjectA(font, sizeof description, &description));
            EXPECT_EQ(description.lfHeight, -::MulDiv(dpi, tenths, 720));
            EXPECT_EQ(description.lfWeight, FW_BOLD);
            EXPECT_EQ(AnsiToUtf8(description.lfFaceName), expect.fontFace);
        }

        HICON icon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
        EXPECT_EQ(launcher.Icon(), icon);
        EXPECT_EQ(launcher.SendMessage(WM_GETICON, ICON_BIG), reinterpret_cast<LRESULT>(icon));
        EXPECT_EQ(launcher.SendMessage(WM_GETICON, ICON_SMALL), reinterpret_cast<LRESULT>(icon));
        EXPECT_EQ(launcher.SendMessage(WM_QUERYDRAGICON), reinterpret_cast<LRESULT>(icon));

        // The About item has an entry of its own, after a separator.
        HMENU menu = ::GetSystemMenu(window, FALSE);
        ASSERT_NE(menu, nullptr) << "the launcher has a system menu";
        int count = ::GetMenuItemCount(menu);
        ASSERT_GE(count, 2);
        EXPECT_EQ(::GetMenuItemID(menu, count - 1), static_cast<UINT>(IDM_ABOUTBOX));
        EXPECT_TRUE(::GetMenuState(menu, count - 2, MF_BYPOSITION) & MF_SEPARATOR);
        char label[128] = {};
        ::GetMenuStringA(menu, IDM_ABOUTBOX, label, sizeof label, MF_BYCOMMAND);
        EXPECT_EQ(AnsiToUtf8(label), expect.aboutItem);
        launcher.EndDialog(IDOK);
    }};
    EXPECT_EQ(launcher.DoModal(), IDOK);
    EXPECT_TRUE(launcher.AllStepsRan());
}

TEST(Launcher, EnterRunsTheFocusedButtonsCommandOnceAndNothingElsewhere)
{
    ShellRecorder shell;
    ScriptedLauncher launcher;
    launcher.steps = {
        [&] { PostKey(::GetFocus(), VK_RETURN); },  // on the link
        [&] {
            EXPECT_TRUE(shell.Calls().empty());
            EXPECT_TRUE(launcher.IsWindowVisible()) << "Enter does not close the launcher";
            launcher.Readme().SetFocus();
            PostKey(launcher.Readme().m_hWnd, VK_RETURN);
        },
        [&] {
            ASSERT_EQ(shell.Calls().size(), 1u) << "the read-me command ran once";
            EXPECT_TRUE(launcher.IsWindowVisible());
            launcher.Exit().SetFocus();
            PostKey(launcher.Exit().m_hWnd, VK_RETURN);
        },
    };
    EXPECT_EQ(launcher.DoModal(), IDCANCEL);
    EXPECT_TRUE(launcher.AllStepsRan());
    EXPECT_EQ(shell.Calls().size(), 1u);
}

TEST(Launcher, ReadmeStartsTheSystemNotepadByFullPathWithTheReadmeFile)
{
    ScopedInstallFolder folder("korva-launcher-readme");
    ShellRecorder shell;
    ScriptedLauncher launcher;
    launcher.steps = {
        [&] { Click(launcher.Readme().m_hWnd); },
        [&] {
            ASSERT_EQ(shell.Calls().size(), 1u);
            const ShellCall& call = shell.Calls()[0];
            EXPECT_EQ(call.owner, launcher.m_hWnd);
            EXPECT_EQ(call.verb, "open");
            EXPECT_EQ(call.file, AnsiToUtf8(WindowsFolder()) + "\\notepad.exe");
            std::string quoted = "\"";
            quoted += AnsiToUtf8(folder.Path()) + "\\Readme.txt\"";
            EXPECT_EQ(call.parameters, quoted) << "the read-me file by its full path, quoted";
            EXPECT_EQ(call.directory, AnsiToUtf8(SystemFolder()));
            EXPECT_EQ(call.show, SW_SHOW);
            launcher.EndDialog(IDOK);
        },
    };
    launcher.DoModal();
    EXPECT_TRUE(launcher.AllStepsRan());
}

TEST(Launcher, EscapeExitButtonAndCloseEndTheLauncherWithCancel)
{
    struct Case {
        const char* name;
        void (*end)(ScriptedLauncher&);
    } cases[] = {
        {"Escape", [](ScriptedLauncher&) { PostKey(::GetFocus(), VK_ESCAPE); }},
        {"exit button", [](ScriptedLauncher& l) { Click(l.Exit().m_hWnd); }},
        {"close request", [](ScriptedLauncher& l) { l.PostMessage(WM_CLOSE); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ShellRecorder shell;
        ScriptedLauncher launcher;
        launcher.steps = {[&] { c.end(launcher); }};
        EXPECT_EQ(launcher.DoModal(), IDCANCEL);
        EXPECT_TRUE(launcher.AllStepsRan());
        EXPECT_TRUE(shell.Calls().empty());
    }
}

TEST(Launcher, AboutItemOpensTheAboutBoxOverTheLauncher)
{
    const std::string aboutTitle = "关于岚鹊打印机驱动程序安装系统";
    ScriptedLauncher launcher;
    launcher.steps = {
        [&] { launcher.PostMessage(WM_SYSCOMMAND, IDM_ABOUTBOX); },
        [&] {
            std::vector<HWND> about = ThreadWindowsTitled(aboutTitle);
            ASSERT_EQ(about.size(), 1u) << "the About box shows its Chinese caption in every language";
            EXPECT_EQ(::GetWindow(about[0], GW_OWNER), launcher.m_hWnd);
            EXPECT_FALSE(launcher.IsWindowEnabled());
            RECT a, l;
            ::GetWindowRect(about[0], &a);
            launcher.GetWindowRect(&l);
            EXPECT_NEAR((a.left + a.right) / 2, (l.left + l.right) / 2, 2) << "centred over the launcher";
            HWND picture = ::FindWindowExA(about[0], nullptr, "Static", nullptr);
            ASSERT_NE(picture, nullptr);
            EXPECT_NE(::SendMessageA(picture, STM_GETICON, 0, 0), 0) << "the first static shows icon 128";
            Click(::GetDlgItem(about[0], IDOK));
        },
        [&] {
            EXPECT_TRUE(ThreadWindowsTitled(aboutTitle).empty());
            EXPECT_TRUE(launcher.IsWindowEnabled());
            launcher.EndDialog(IDOK);
        },
    };
    EXPECT_EQ(launcher.DoModal(), IDOK);
    EXPECT_TRUE(launcher.AllStepsRan());
}

TEST(Launcher, DriverRunsAFreshWizardEachTimeAndIgnoresClicksWhileOneRuns)
{
    const LauncherTexts& expect = ExpectedTexts();
    ScopedInstallFolder folder("korva-launcher-driver");
    MessageRecorder messages;
    ScriptedLauncher launcher;
    MainWindow main(launcher);
    HWND wizard = nullptr;
    auto openWizard = [&] {
        std::vector<HWND> open = ThreadWindowsTitled(expect.wizardCaption);
        EXPECT_EQ(open.size(), 1u);
        wizard = open.empty() ? nullptr : open[0];
        return wizard != nullptr;
    };
    launcher.steps = {
        [&] { Click(launcher.Driver().m_hWnd); },
        [&] {
            ASSERT_TRUE(openWizard());
            EXPECT_FALSE(launcher.IsWindowEnabled()) << "the wizard runs modally over the launcher";
            // As a click that reaches the disabled launcher during an install.
            Click(launcher.Driver().m_hWnd);
        },
        [&] {
            ASSERT_TRUE(openWizard()) << "no second wizard";
            Click(::GetDlgItem(wizard, IDC_NEXT));
        },
        [&] {
            EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(wizard, IDC_BACK))) << "on the agreement page";
            Click(::GetDlgItem(wizard, IDCANCEL));
        },
        [&] {
            EXPECT_TRUE(ThreadWindowsTitled(expect.wizardCaption).empty());
            EXPECT_TRUE(launcher.IsWindowEnabled());
            Click(launcher.Driver().m_hWnd);
        },
        [&] {
            ASSERT_TRUE(openWizard());
            EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(wizard, IDC_BACK))) << "a fresh wizard starts at welcome";
            Click(::GetDlgItem(wizard, IDCANCEL));
        },
        [&] {
            EXPECT_TRUE(ThreadWindowsTitled(expect.wizardCaption).empty());
            launcher.EndDialog(IDOK);
        },
    };
    EXPECT_EQ(launcher.DoModal(), IDOK);
    EXPECT_TRUE(launcher.AllStepsRan());
}
