#include "ui/button.h"
#include "ui/ddx.h"
#include "ui/dialog.h"
#include "ui/edit.h"
#include "ui/gdi.h"
#include "ui/winapp.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <vector>

namespace {

constexpr UINT kModalTemplate = 200;
constexpr UINT kPageTemplate = 201;
constexpr UINT WM_TEST_RUN = WM_APP + 1;

// A dialog whose test body runs from inside its own modal loop.
class TestDialog : public CDialog {
public:
    explicit TestDialog(CWnd* parent = nullptr) : CDialog(kModalTemplate, parent) {}
    std::function<void(TestDialog&)> body;
    std::function<BOOL(MSG*)> filter;
    std::string listValue;
    CEdit edit;

    BOOL PreTranslateMessage(MSG* message) override
    {
        return filter && filter(message) ? TRUE : CDialog::PreTranslateMessage(message);
    }

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        if (body)
            PostMessage(WM_TEST_RUN);
        return TRUE;
    }
    void DoDataExchange(CDataExchange* dx) override
    {
        DDX_Control(dx, 300, edit);
        DDX_LBString(dx, 301, listValue);
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_TEST_RUN) {
            body(*this);
            return 0;
        }
        return CDialog::WindowProc(message, wParam, lParam);
    }
};

// Records what it sees; PreSubclassWindow checks that it runs first.
class RecordingButton : public CButton {
public:
    std::vector<UINT> seen;
    bool preSubclassSawOldProc = false;
    WNDPROC procAtPreSubclass = nullptr;
    int drawn = 0;

protected:
    void PreSubclassWindow() override
    {
        procAtPreSubclass = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC));
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        seen.push_back(message);
        return CButton::WindowProc(message, wParam, lParam);
    }
    void DrawItem(LPDRAWITEMSTRUCT) override { ++drawn; }
};

HWND MakeButton()
{
    return CreateWindowExA(0, "BUTTON", "b", WS_POPUP | BS_PUSHBUTTON, 0, 0, 50, 20, nullptr, nullptr, nullptr,
                           nullptr);
}

}  // namespace

TEST(Wnd, SubclassRoutesMessagesAndUnsubclassRestoresTheProcedure)
{
    HWND window = MakeButton();
    WNDPROC original = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
    {
        RecordingButton button;
        ASSERT_TRUE(button.SubclassWindow(window));
        EXPECT_EQ(button.procAtPreSubclass, original) << "PreSubclassWindow runs before the procedure changes";
        EXPECT_EQ(CWnd::FromHandlePermanent(window), &button);
        EXPECT_FALSE(RecordingButton().SubclassWindow(window)) << "one object per window";

        SetWindowTextA(window, "new text");
        EXPECT_NE(std::find(button.seen.begin(), button.seen.end(), WM_SETTEXT), button.seen.end());
        EXPECT_EQ(button.GetWindowText(), "new text") << "default processing still runs";

        EXPECT_EQ(button.UnsubclassWindow(), window);
        EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC)), original);
        EXPECT_EQ(CWnd::FromHandlePermanent(window), nullptr);
        EXPECT_EQ(button.m_hWnd, nullptr);
        size_t count = button.seen.size();
        SetWindowTextA(window, "after");
        EXPECT_EQ(button.seen.size(), count);
    }
    DestroyWindow(window);
}

TEST(Wnd, DestroyingTheWindowOrTheObjectFirstBothLetGo)
{
    RecordingButton button;
    HWND window = MakeButton();
    ASSERT_TRUE(button.SubclassWindow(window));
    DestroyWindow(window);
    EXPECT_EQ(button.m_hWnd, nullptr);
    EXPECT_EQ(button.seen.back(), static_cast<UINT>(WM_DESTROY));

    window = MakeButton();
    {
        RecordingButton shortLived;
        ASSERT_TRUE(shortLived.SubclassWindow(window));
    }
    // The window outlived its object and still works.
    SetWindowTextA(window, "still alive");
    char text[32] = {};
    GetWindowTextA(window, text, sizeof text);
    EXPECT_STREQ(text, "still alive");
    DestroyWindow(window);
}

TEST(Dialog, ModalLoopDisablesTheOwnerAndReturnsTheResult)
{
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 100, 100, 400, 300, nullptr,
                                 nullptr, nullptr, nullptr);
    CWnd ownerWnd;
    ownerWnd.m_hWnd = owner;
    bool ownerDisabledInside = false;
    RECT dialogRect = {};
    TestDialog dialog(&ownerWnd);
    dialog.body = [&](TestDialog& d) {
        ownerDisabledInside = !IsWindowEnabled(owner);
        d.GetWindowRect(&dialogRect);
        d.EndDialog(42);
    };
    EXPECT_EQ(dialog.DoModal(), 42);
    EXPECT_TRUE(ownerDisabledInside);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(dialog.m_hWnd, nullptr) << "the dialog window is gone after the run";
    // Centred over the owner.
    EXPECT_NEAR((dialogRect.left + dialogRect.right) / 2, 300, 2);
    EXPECT_NEAR((dialogRect.top + dialogRect.bottom) / 2, 250, 2);
    ownerWnd.m_hWnd = nullptr;
    DestroyWindow(owner);
}

TEST(Dialog, WithoutOwnerItIsCentredOnTheWorkArea)
{
    RECT work, dialogRect = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    TestDialog dialog;
    dialog.body = [&](TestDialog& d) {
        d.GetWindowRect(&dialogRect);
        d.EndDialog(1);
    };
    dialog.DoModal();
    EXPECT_NEAR((dialogRect.left + dialogRect.right) / 2, (work.left + work.right) / 2, 2);
    EXPECT_NEAR((dialogRect.top + dialogRect.bottom) / 2, (work.top + work.bottom) / 2, 2);
}

TEST(Dialog, NestedLoopsEndInnerFirstAndCloseBoxCancels)
{
    INT_PTR innerResult = 0;
    bool outerDisabledDuringInner = false;
    TestDialog outer;
    outer.body = [&](TestDialog& o) {
        TestDialog inner(&o);
        inner.body = [&](TestDialog& i) {
            outerDisabledDuringInner = !o.IsWindowEnabled();
            // The close box sends WM_CLOSE, which the dialog manager turns into IDCANCEL.
            i.PostMessage(WM_CLOSE);
        };
        innerResult = inner.DoModal();
        EXPECT_TRUE(o.IsWindowEnabled());
        o.EndDialog(7);
    };
    EXPECT_EQ(outer.DoModal(), 7);
    EXPECT_EQ(innerResult, IDCANCEL);
    EXPECT_TRUE(outerDisabledDuringInner);
}

// EndDialog inside a message sent by another thread must end the loop
// without waiting for another posted message.
TEST(Dialog, EndDialogFromAMessageSentByAnotherThreadEndsTheLoopAtOnce)
{
    constexpr UINT WM_TEST_END = WM_APP + 2;
    struct EndingDialog : TestDialog {
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
        {
            if (message == WM_TEST_END) {
                EndDialog(5);
                return 0;
            }
            return TestDialog::WindowProc(message, wParam, lParam);
        }
    } dialog;
    std::thread sender, watchdog;
    DWORD uiThread = GetCurrentThreadId();
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    dialog.body = [&](TestDialog& d) {
        HWND window = d.m_hWnd;
        sender = std::thread([window] { SendMessageA(window, WM_TEST_END, 0, 0); });
        // Wakes the loop in any case, so that a fault shows as a slow run, not a hang.
        watchdog = std::thread([uiThread, done] {
            if (WaitForSingleObject(done, 3000) == WAIT_TIMEOUT)
                PostThreadMessageA(uiThread, WM_NULL, 0, 0);
        });
    };
    DWORD start = GetTickCount();
    EXPECT_EQ(dialog.DoModal(), 5);
    EXPECT_LT(GetTickCount() - start, 2000u);
    SetEvent(done);
    sender.join();
    watchdog.join();
    CloseHandle(done);
}

TEST(Dialog, EveryQueuedMessagePassesPreTranslateMessageFirst)
{
    int filtered = 0, round = 0;
    std::string editText;
    TestDialog dialog;
    dialog.filter = [&](MSG* m) {
        if (m->message == WM_CHAR && m->wParam == 'x') {
            ++filtered;
            return TRUE;  // consumed: never reaches the edit control
        }
        return FALSE;
    };
    dialog.body = [&](TestDialog& d) {
        if (round++ == 0) {
            d.edit.PostMessage(WM_CHAR, 'x', 0);
            d.edit.PostMessage(WM_CHAR, 'y', 0);
            d.PostMessage(WM_TEST_RUN);  // after the two characters
            return;
        }
        editText = d.edit.GetWindowText();
        d.EndDialog(IDOK);
    };
    dialog.DoModal();
    EXPECT_EQ(filtered, 1);
    EXPECT_EQ(editText, "y");
}

TEST(Dialog, ListBoxDataExchangeBothWays)
{
    TestDialog dialog;
    dialog.body = [&](TestDialog& d) {
        HWND list = d.GetDlgItem(301);
        for (const char* row : {"COM1:", "LPT1:", "LPT1: (copy)", "FILE:"})
            SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row));

        d.listValue = "LPT1:";
        d.UpdateData(false);
        EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 1) << "exact match, not the longer row";

        SendMessageA(list, LB_SETCURSEL, 3, 0);
        d.UpdateData(true);
        EXPECT_EQ(d.listValue, "FILE:");

        d.listValue = "not there";
        d.UpdateData(false);
        EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 3) << "an unknown string changes nothing";

        SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        d.UpdateData(true);
        EXPECT_EQ(d.listValue, "");
        EXPECT_EQ(d.edit.m_hWnd, d.GetDlgItem(300)) << "DDX_Control attached the edit wrapper";
        d.EndDialog(IDOK);
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
}

TEST(Dialog, ChildPageAndOwnerDrawReflection)
{
    TestDialog dialog;
    RecordingButton drawn;
    dialog.body = [&](TestDialog& d) {
        CDialog page(kPageTemplate);
        ASSERT_TRUE(page.Create(&d));
        EXPECT_EQ(page.GetParent(), d.m_hWnd);
        EXPECT_TRUE(GetWindowLongPtrA(page.m_hWnd, GWL_STYLE) & WS_CHILD);

        ASSERT_TRUE(drawn.SubclassDlgItem(302, d.m_hWnd));
        drawn.Invalidate();
        drawn.UpdateWindow();
        EXPECT_GE(drawn.drawn, 1) << "the parent handed WM_DRAWITEM back to the button object";
        d.EndDialog(IDOK);
    };
    dialog.DoModal();
}

TEST(Gdi, OwnersDeleteOnceAndSelectionIsPutBack)
{
    HDC screen = GetDC(nullptr);
    HBITMAP taken = nullptr;
    {
        BitmapHandle bitmap(CreateCompatibleBitmap(screen, 4, 4));
        ASSERT_TRUE(bitmap);
        BitmapHandle moved(std::move(bitmap));
        EXPECT_FALSE(bitmap) << "a move leaves the source empty";
        taken = moved.Get();
        MemoryDC memory(screen);
        ASSERT_TRUE(memory);
        HGDIOBJ before = GetCurrentObject(memory.Get(), OBJ_BITMAP);
        {
            SelectObjectScope select(memory.Get(), moved.Get());
            EXPECT_EQ(GetCurrentObject(memory.Get(), OBJ_BITMAP), moved.Get());
        }
        EXPECT_EQ(GetCurrentObject(memory.Get(), OBJ_BITMAP), before) << "the previous bitmap is back";
        EXPECT_EQ(GetObjectType(taken), static_cast<DWORD>(OBJ_BITMAP));
    }
    EXPECT_EQ(GetObjectType(taken), 0u) << "deleted with its owner";
    ReleaseDC(nullptr, screen);
}
