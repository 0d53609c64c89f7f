#include "launcher_harness.h"

#include "launcher/super_label.h"
#include "launcher/system_folders.h"
#include "res/resource.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

// Black, underlined, from the left edge of the label.
void ExpectLinkLooks(HWND label, COLORREF background)
{
    Pixels p(label);
    RECT all = {0, 0, p.Width(), p.Height()};
    RECT text = p.BoundsOfOthers(all, background);
    ASSERT_FALSE(::IsRectEmpty(&text)) << "the text is drawn";
    EXPECT_LE(text.left, 1) << "the text starts at the left edge, whatever the alignment";
    bool black = false;
    for (COLORREF c : p.OthersIn(all, background))
        black = black || c == RGB(0, 0, 0);
    EXPECT_TRUE(black) << "solid strokes are black";
    // The underline: a row of black pixels under the whole text.
    int longest = 0;
    for (int y = text.top; y < text.bottom; ++y) {
        int run = 0;
        for (int x = text.left; x < text.right; ++x)
            run += p.At(x, y) == RGB(0, 0, 0) ? 1 : 0;
        longest = std::max(longest, run);
    }
    EXPECT_GE(longest, (text.right - text.left) * 9 / 10) << "underlined";
}

}  // namespace

// Only a web address goes to the shell: anything else it would first look
// up as a file in the current directory, the download folder.
TEST(SuperLabel, PressOpensOnlyWebAddressesWithTheShell)
{
    struct Case {
        const char* text;
        bool opened;
    } cases[] = {
        {"https://www.korva-printers.example/", true},
        {"http://www.korva-printers.example/", true},
        {"HTTPS://WWW.KORVA-PRINTERS.EXAMPLE/", true},
        {"hTtP://x.example", true},
        {"www.korva-printers.example", false},
        {"Setup.exe", false},
        {"file:///C:/windows/notepad.exe", false},
        {"ftp://x.example/", false},
        {" https://x.example/", false},
        {"https:/x.example/", false},
        {"", false},
    };
    std::string system = AnsiToUtf8(SystemFolder());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ShellRecorder shell;
        // No font of its own: the label draws in the system font.
        HWND window = ::CreateWindowExA(0, "STATIC", c.text, WS_POPUP | SS_NOTIFY, 0, 0, 300, 20, nullptr,
                                        nullptr, nullptr, nullptr);
        CSuperLabel label;
        ASSERT_TRUE(label.SubclassWindow(window));
        EXPECT_EQ(label.Url(), c.text);
        ::SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        ASSERT_EQ(shell.Calls().size(), c.opened ? 1u : 0u);
        if (c.opened) {
            const ShellCall& call = shell.Calls()[0];
            EXPECT_EQ(call.owner, window);
            EXPECT_EQ(call.verb, "<null>") << "the default action";
            EXPECT_EQ(call.file, c.text);
            EXPECT_EQ(call.parameters, "<null>");
            EXPECT_EQ(call.directory, system);
            EXPECT_EQ(call.show, SW_SHOW);
        }
        ::SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        EXPECT_EQ(shell.Calls().size(), c.opened ? 1u : 0u) << "the release does nothing";
        ::DestroyWindow(window);
    }
}

// On the launcher: the link opens entry 54 once on the press with the real
// pointer, shows the hand on every move and is drawn black and underlined
// from its left edge; Enter on it does nothing.
TEST(SuperLabel, LauncherLinkOpensItsAddressOnThePress)
{
    const LauncherTexts& expect = ExpectedTexts();
    ShellRecorder shell;
    ScriptedLauncher launcher;
    HWND link = nullptr;
    launcher.steps = {
        [&] {
            link = launcher.Link().m_hWnd;
            ExpectLinkLooks(link, ::GetSysColor(COLOR_3DFACE));
            MovePointerTo(link, 10, 5);
        },
        [&] {
            EXPECT_EQ(::GetCursor(), HandCursor());
            ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
            MovePointerTo(link, 20, 5);
        },
        [&] {
            EXPECT_EQ(::GetCursor(), HandCursor()) << "again on the next move";
            PressLeftButton(true);
        },
        [&] {
            ASSERT_EQ(shell.Calls().size(), 1u) << "opened on the press";
            EXPECT_EQ(shell.Calls()[0].file, expect.link);
            PressLeftButton(false);
        },
        [&] {
            EXPECT_EQ(shell.Calls().size(), 1u) << "the release does nothing";
            ::SetFocus(link);
            ::PostMessageA(link, WM_KEYDOWN, VK_RETURN, 0);
        },
        [&] {
            EXPECT_EQ(shell.Calls().size(), 1u) << "Enter on the link does nothing";
            EXPECT_TRUE(launcher.IsWindowVisible());
            MovePointerTo(launcher.m_hWnd, 300, 15);
            launcher.EndDialog(IDOK);
        },
    };
    launcher.DoModal();
    EXPECT_TRUE(launcher.AllStepsRan());
}

namespace {

constexpr UINT kCanvasTemplate = 300;
constexpr int kCanvasLabel = 302;

// A plain white dialog whose centred static becomes a link.
class LabelCanvas : public Scripted<CDialog> {
public:
    LabelCanvas() : Scripted<CDialog>(kCanvasTemplate) {}
    ~LabelCanvas() override { ::DeleteObject(m_brush); }
    CSuperLabel label;

protected:
    BOOL OnInitDialog() override
    {
        BOOL result = Scripted<CDialog>::OnInitDialog();
        ::SetDlgItemTextA(m_hWnd, kCanvasLabel, "https://first.example/");
        label.SubclassDlgItem(kCanvasLabel, m_hWnd);
        return result;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_CTLCOLORDLG)
            return reinterpret_cast<LRESULT>(m_brush);
        return Scripted<CDialog>::WindowProc(message, wParam, lParam);
    }

private:
    HBRUSH m_brush = ::CreateSolidBrush(RGB(255, 255, 255));
};

}  // namespace

// A centred static much wider than its text still shows the text at its
// left edge; a text set after attaching is shown but not opened.
TEST(SuperLabel, DrawsFromTheLeftEdgeAndKeepsTheAddressItWasAttachedWith)
{
    ShellRecorder shell;
    LabelCanvas canvas;
    canvas.steps = {
        [&] {
            ExpectLinkLooks(canvas.label.m_hWnd, RGB(255, 255, 255));
            canvas.label.SetWindowText("https://second.example/");
            canvas.label.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, 0);
        },
        [&] {
            ASSERT_EQ(shell.Calls().size(), 1u);
            EXPECT_EQ(shell.Calls()[0].file, "https://first.example/");
            EXPECT_EQ(canvas.label.GetWindowText(), "https://second.example/");
            canvas.EndDialog(IDOK);
        },
    };
    canvas.DoModal();
    EXPECT_TRUE(canvas.AllStepsRan());
}
