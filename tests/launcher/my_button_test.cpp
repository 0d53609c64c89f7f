#include "launcher_harness.h"

#include "launcher/my_button.h"
#include "ui/ddx.h"

#include <gtest/gtest.h>

namespace {

const COLORREF kRaisedTopLeft = RGB(198, 215, 229);
const COLORREF kRaisedBottomRight = RGB(37, 50, 62);
const COLORREF kHoverTopLeft = RGB(155, 185, 211);
const COLORREF kHoverBottomRight = RGB(71, 94, 116);
const COLORREF kSunkenTopLeft = RGB(100, 100, 100);
const COLORREF kSunkenBottomRight = RGB(255, 255, 255);
const COLORREF kGrey = RGB(128, 128, 128);

COLORREF Face() { return ::GetSysColor(COLOR_3DFACE); }

enum class Look { Plain, Hover, Focused, Pressed, Disabled };

const char* LookName(Look look)
{
    switch (look) {
    case Look::Plain: return "plain";
    case Look::Hover: return "hover";
    case Look::Focused: return "focused";
    case Look::Pressed: return "pressed";
    case Look::Disabled: return "disabled";
    }
    return "?";
}

// The caption's position in the plain look, against which the others move.
struct Baseline {
    RECT caption = {};
};

RECT Inner(const Pixels& p) { return RECT{2, 2, p.Width() - 2, p.Height() - 2}; }

RECT Shifted(RECT r, int d)
{
    ::OffsetRect(&r, d, d);
    return r;
}

void ExpectRect(const RECT& got, const RECT& expected)
{
    EXPECT_TRUE(::EqualRect(&got, &expected))
        << "got (" << got.left << "," << got.top << ")-(" << got.right << "," << got.bottom << "), expected ("
        << expected.left << "," << expected.top << ")-(" << expected.right << "," << expected.bottom << ")";
}

void ExpectPixel(const Pixels& p, int x, int y, COLORREF expected, const char* what)
{
    EXPECT_EQ(ColourText(p.At(x, y)), ColourText(expected)) << what << " at (" << x << ", " << y << ")";
}

// Checks a button's face on the screen against the table of looks.
void ExpectLook(HWND button, Look look, const Baseline& base)
{
    SCOPED_TRACE(LookName(look));
    Pixels p(button);
    int r = p.Width() - 1, b = p.Height() - 1;
    RECT caption = p.BoundsOfOthers(Inner(p), Face());
    switch (look) {
    case Look::Plain:
        for (POINT corner : {POINT{0, 0}, POINT{r, 0}, POINT{0, b}, POINT{r, b}})
            ExpectPixel(p, corner.x, corner.y, Face(), "no frame: the background copy");
        ExpectRect(caption, base.caption);
        break;
    case Look::Hover:
        ExpectPixel(p, 0, 0, kRaisedTopLeft, "raised frame, top left");
        ExpectPixel(p, r - 1, 0, kRaisedTopLeft, "raised frame, top row");
        ExpectPixel(p, r, 0, kRaisedBottomRight, "raised frame, top-right corner");
        ExpectPixel(p, 0, b, kRaisedBottomRight, "raised frame, bottom-left corner");
        ExpectPixel(p, r, b, kRaisedBottomRight, "raised frame, bottom right");
        ExpectPixel(p, 1, 1, kHoverTopLeft, "hover frame, top left");
        ExpectPixel(p, 1, b - 2, kHoverTopLeft, "hover frame, left column");
        ExpectPixel(p, r - 1, 1, kHoverBottomRight, "hover frame, top-right corner");
        ExpectPixel(p, r - 1, b - 1, kHoverBottomRight, "hover frame, bottom right");
        ExpectRect(caption, Shifted(base.caption, -1));
        break;
    case Look::Focused:
        ExpectPixel(p, 0, 0, kRaisedTopLeft, "raised frame, top left");
        ExpectPixel(p, r, b, kRaisedBottomRight, "raised frame, bottom right");
        ExpectPixel(p, 1, 1, Face(), "no hover frame");
        ExpectRect(caption, Shifted(base.caption, -1));
        break;
    case Look::Pressed:
        ExpectPixel(p, 0, 0, kSunkenTopLeft, "sunken frame, top left");
        ExpectPixel(p, 0, b - 1, kSunkenTopLeft, "sunken frame, left column");
        ExpectPixel(p, r, 0, kSunkenBottomRight, "sunken frame, top-right corner");
        ExpectPixel(p, r, b, kSunkenBottomRight, "sunken frame, bottom right");
        ExpectPixel(p, 1, 1, Face(), "no hover frame");
        ExpectRect(caption, Shifted(base.caption, 1));
        break;
    case Look::Disabled: {
        ExpectPixel(p, 0, 0, kRaisedTopLeft, "raised frame, top left");
        ExpectPixel(p, r, b, kRaisedBottomRight, "raised frame, bottom right");
        ExpectRect(caption, base.caption);
        // Grey text: nothing darker than the grey, and the grey itself where a stroke is solid.
        std::vector<COLORREF> text = p.OthersIn(Inner(p), Face());
        bool solidGrey = false;
        for (COLORREF c : text) {
            EXPECT_GE(GetRValue(c), 128) << ColourText(c);
            solidGrey = solidGrey || c == kGrey;
        }
        EXPECT_TRUE(solidGrey);
        break;
    }
    }
}

POINT Centre(HWND window)
{
    RECT r;
    ::GetClientRect(window, &r);
    return POINT{r.right / 2, r.bottom / 2};
}

// A point of the launcher away from every control.
void MovePointerOff(ScriptedLauncher& launcher) { MovePointerTo(launcher.m_hWnd, 300, 15); }

void MovePointerOnto(HWND window, int dx = 0)
{
    POINT c = Centre(window);
    MovePointerTo(window, c.x + dx, c.y);
}

}  // namespace

// Every look of the table, on the screen. The pointer is the real one.
TEST(MyButton, LooksOfEveryStateOnTheScreen)
{
    ShellRecorder shell;
    ScriptedLauncher launcher;
    Baseline base;
    HWND button = nullptr;
    launcher.steps = {
        [&] {
            button = launcher.Readme().m_hWnd;
            Pixels p(button);
            base.caption = p.BoundsOfOthers(Inner(p), Face());
            ASSERT_FALSE(::IsRectEmpty(&base.caption)) << "the caption is drawn";
            ExpectLook(button, Look::Plain, base);
            MovePointerOnto(button);
        },
        [&] {
            EXPECT_EQ(::GetCapture(), button) << "the button tracks the pointer with the capture";
            EXPECT_EQ(::GetFocus(), button) << "the pointer's arrival moves the focus";
            EXPECT_EQ(::GetCursor(), HandCursor());
            ExpectLook(button, Look::Hover, base);
            MovePointerOff(launcher);
        },
        [&] {
            EXPECT_EQ(::GetCapture(), nullptr);
            EXPECT_EQ(::GetFocus(), button);
            ExpectLook(button, Look::Focused, base);
            ::SendMessageA(button, BM_SETSTATE, TRUE, 0);
        },
        [&] {
            ExpectLook(button, Look::Pressed, base);
            ::SendMessageA(button, BM_SETSTATE, FALSE, 0);
            launcher.Exit().SetFocus();
        },
        [&] {
            ExpectLook(button, Look::Plain, base);
            ::EnableWindow(button, FALSE);
        },
        [&] {
            ExpectLook(button, Look::Disabled, base);
            ::EnableWindow(button, TRUE);
            launcher.EndDialog(IDOK);
        },
    };
    launcher.DoModal();
    EXPECT_TRUE(launcher.AllStepsRan());
    EXPECT_TRUE(shell.Calls().empty());
}

// A press and release with the real pointer: the pressed look, one command,
// and the hover look kept after the click. The platform moves the pointer
// once more when the press ends its capture, so the button tracks it again
// and the next move off it clears the hover.
TEST(MyButton, ClickShowsThePressedLookRunsOnceAndKeepsTheHoverLook)
{
    ShellRecorder shell;
    ScriptedLauncher launcher;
    Baseline base;
    HWND button = nullptr;
    launcher.steps = {
        [&] {
            button = launcher.Readme().m_hWnd;
            Pixels p(button);
            base.caption = p.BoundsOfOthers(Inner(p), Face());
            MovePointerOnto(button);
        },
        [&] { PressLeftButton(true); },
        [&] {
            EXPECT_EQ(::GetCapture(), button) << "the press keeps the capture";
            ExpectLook(button, Look::Pressed, base);
            PressLeftButton(false);
        },
        [&] {
            EXPECT_EQ(shell.Calls().size(), 1u) << "the click ran the read-me command once";
            ExpectLook(button, Look::Hover, base);
            MovePointerOff(launcher);
        },
        [&] {
            EXPECT_EQ(::GetCapture(), nullptr);
            ExpectLook(button, Look::Focused, base);
            launcher.EndDialog(IDOK);
        },
    };
    launcher.DoModal();
    EXPECT_TRUE(launcher.AllStepsRan());
    EXPECT_EQ(shell.Calls().size(), 1u);
}

// Pressing and dragging off clears the hover at once but keeps the capture;
// back on while pressing shows the pressed look and never the hover look;
// releasing outside does not click.
TEST(MyButton, DraggingOffWhilePressedNeitherHoversNorClicks)
{
    ShellRecorder shell;
    ScriptedLauncher launcher;
    Baseline base;
    HWND button = nullptr;
    launcher.steps = {
        [&] {
            button = launcher.Readme().m_hWnd;
            Pixels p(button);
            base.caption = p.BoundsOfOthers(Inner(p), Face());
            MovePointerOnto(button);
        },
        [&] { PressLeftButton(true); },
        [&] { MovePointerOff(launcher); },
        [&] {
            EXPECT_EQ(::GetCapture(), button) << "the capture stays while the left button is down";
            ExpectLook(button, Look::Focused, base);
            MovePointerOnto(button);
        },
        [&] {
            ExpectLook(button, Look::Pressed, base);
            MovePointerOff(launcher);
        },
        [&] { PressLeftButton(false); },
        [&] {
            EXPECT_TRUE(shell.Calls().empty()) << "released outside: no click";
            launcher.EndDialog(IDOK);
        },
    };
    launcher.DoModal();
    EXPECT_TRUE(launcher.AllStepsRan());
}

// Straight from one button to the next: the first lets go on the first move
// outside it, and the platform's own move after that capture change is the
// second's, whose focus grab takes the focus from the first.
TEST(MyButton, MovingToTheNextButtonHandsOverCaptureAndFocus)
{
    ScriptedLauncher launcher;
    Baseline readmeBase, driverBase;
    HWND readme = nullptr, driver = nullptr;
    launcher.steps = {
        [&] {
            readme = launcher.Readme().m_hWnd;
            driver = launcher.Driver().m_hWnd;
            Pixels r(readme), d(driver);
            readmeBase.caption = r.BoundsOfOthers(Inner(r), Face());
            driverBase.caption = d.BoundsOfOthers(Inner(d), Face());
            MovePointerOnto(readme);
        },
        [&] {
            EXPECT_EQ(::GetCapture(), readme);
            MovePointerOnto(driver);
        },
        [&] {
            EXPECT_EQ(::GetCapture(), driver);
            EXPECT_EQ(::GetFocus(), driver);
            ExpectLook(readme, Look::Plain, readmeBase);
            ExpectLook(driver, Look::Hover, driverBase);
            MovePointerOff(launcher);
        },
        [&] { launcher.EndDialog(IDOK); },
    };
    launcher.DoModal();
    EXPECT_TRUE(launcher.AllStepsRan());
}

namespace {

constexpr UINT kCanvasTemplate = 300;
constexpr int kCanvasButton = 301;

// An 8 x 8 pattern of distinct colours: every pixel tells where it came from.
COLORREF PatternAt(int x, int y) { return RGB((x & 7) * 32, (y & 7) * 32, 160); }

HBRUSH MakePatternBrush()
{
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP tile = ::CreateCompatibleBitmap(screen, 8, 8);
    HGDIOBJ previous = ::SelectObject(memory, tile);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ::SetPixel(memory, x, y, PatternAt(x, y));
    ::SelectObject(memory, previous);
    HBRUSH brush = ::CreatePatternBrush(tile);
    ::DeleteObject(tile);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return brush;
}

// A dialog with a patterned background and one bitmap button on it.
class CanvasDialog : public Scripted<CDialog> {
public:
    CanvasDialog() : Scripted<CDialog>(kCanvasTemplate) {}
    ~CanvasDialog() override
    {
        if (m_brush)
            ::DeleteObject(m_brush);
    }
    CMyButton button;
    HBRUSH m_brush = MakePatternBrush();

protected:
    void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, kCanvasButton, button); }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_CTLCOLORDLG)
            return reinterpret_cast<LRESULT>(m_brush);
        return Scripted<CDialog>::WindowProc(message, wParam, lParam);
    }
};

}  // namespace

// The face is the parent's pixels under the button, copied once at the
// first erase: an empty caption shows exactly that, and a later change of
// the parent's background does not reach the button.
TEST(MyButton, BackgroundIsTheParentsPixelsCopiedAtTheFirstErase)
{
    CanvasDialog canvas;
    auto expectPattern = [&] {
        HWND button = canvas.button.m_hWnd;
        POINT offset = {0, 0};
        ::MapWindowPoints(button, canvas.m_hWnd, &offset, 1);
        Pixels p(button);
        int wrong = 0;
        for (int y = 0; y < p.Height(); ++y)
            for (int x = 0; x < p.Width(); ++x)
                if (p.At(x, y) != PatternAt(x + offset.x, y + offset.y) && wrong++ < 3)
                    ADD_FAILURE() << "at (" << x << ", " << y << ") " << ColourText(p.At(x, y)) << ", parent has "
                                  << ColourText(PatternAt(x + offset.x, y + offset.y));
        EXPECT_EQ(wrong, 0);
    };
    canvas.steps = {
        [&] {
            // Away from the button, which would otherwise show the focused look.
            ::SetFocus(canvas.GetDlgItem(302));
            canvas.button.m_caption.clear();
            canvas.button.Invalidate(FALSE);
        },
        [&] {
            expectPattern();
            ::DeleteObject(canvas.m_brush);
            canvas.m_brush = ::CreateSolidBrush(RGB(255, 0, 0));
            ::RedrawWindow(canvas.m_hWnd, nullptr, nullptr,
                           RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        },
        [&] {
            Pixels parent(canvas.m_hWnd);
            EXPECT_EQ(ColourText(parent.At(2, 2)), ColourText(RGB(255, 0, 0))) << "the parent changed";
            expectPattern();
            canvas.EndDialog(IDOK);
        },
    };
    canvas.DoModal();
    EXPECT_TRUE(canvas.AllStepsRan());
}
