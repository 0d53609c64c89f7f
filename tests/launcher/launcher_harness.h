// What the launcher tests share: a launcher whose test steps run from inside
// its own modal loop (and from any loop nested in it), pixels read back from
// the screen, a recorder for the shell operation and the catalogue texts
// expected in the language of the run.
#pragma once

#include "engine/ops.h"
#include "launcher/setup_dlg.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Fails the running test: a scripted dialog outlived its steps.
void ReportStillOpen();
// Asks every other visible top-level window of this thread to close.
void CloseOtherThreadWindows(HWND keep);

// Runs its steps one per timer tick (kStepMs apart), from inside the
// dialog's own modal loop or any loop nested in it, so that the loop handles
// the input a step caused before the next step looks at it. A step that
// opens a modal loop returns only when that loop ends; the steps after it
// run inside. A dialog still open after the last step is ended with -2.
template <typename Dialog>
class Scripted : public Dialog {
public:
    static constexpr UINT kStepMs = 150;
    using Dialog::Dialog;
    std::vector<std::function<void()>> steps;
    bool AllStepsRan() const { return m_next == steps.size(); }

protected:
    BOOL OnInitDialog() override
    {
        BOOL result = Dialog::OnInitDialog();
        ::SetTimer(this->m_hWnd, kStepTimer, kStepMs, nullptr);
        return result;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message != WM_TIMER || wParam != kStepTimer)
            return Dialog::WindowProc(message, wParam, lParam);
        ::KillTimer(this->m_hWnd, kStepTimer);
        if (m_next < steps.size()) {
            steps[m_next++]();
            if (this->m_hWnd && this->IsModalRunning())
                ::SetTimer(this->m_hWnd, kStepTimer, kStepMs, nullptr);
        } else {
            // Closes whatever the steps left open, innermost first, so a
            // failing test ends instead of hanging.
            ReportStillOpen();
            CloseOtherThreadWindows(this->m_hWnd);
            this->EndDialog(-2);
            ::SetTimer(this->m_hWnd, kStepTimer, kStepMs, nullptr);
        }
        return 0;
    }

private:
    static constexpr UINT_PTR kStepTimer = 0x4B53;
    size_t m_next = 0;
};

class ScriptedLauncher : public Scripted<CSetupDlg> {
public:
    CMyButton& Readme() { return m_btnReadme; }
    CMyButton& Driver() { return m_btnDriver; }
    CMyButton& Exit() { return m_btnExit; }
    CSuperLabel& Link() { return m_link; }
    HFONT NormalFont() const { return m_fontNormal.Get(); }
    HFONT TitleFont() const { return m_fontTitle.Get(); }
    HICON Icon() const { return m_hIcon; }
};

// Client-area pixels of a window as shown on the screen.
class Pixels {
public:
    explicit Pixels(HWND window);
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    COLORREF At(int x, int y) const;
    // Bounding box of the pixels inside `area` that differ from `background`;
    // empty when there are none.
    RECT BoundsOfOthers(const RECT& area, COLORREF background) const;
    // Every colour inside `area` other than `background`.
    std::vector<COLORREF> OthersIn(const RECT& area, COLORREF background) const;

private:
    int m_width = 0, m_height = 0;
    std::vector<COLORREF> m_pixels;
};

std::string ColourText(COLORREF colour);

struct ShellCall {
    HWND owner;
    std::string verb, file, parameters, directory;  // "<null>" for a null pointer
    int show;
};

// While alive, the shell operation records its calls instead of running them.
class ShellRecorder {
public:
    ShellRecorder();
    ~ShellRecorder();
    ShellRecorder(const ShellRecorder&) = delete;
    ShellRecorder& operator=(const ShellRecorder&) = delete;
    const std::vector<ShellCall>& Calls() const;

private:
    decltype(EngineOps::ShellExecuteA) m_saved;
};

// The texts of the run's catalogue (KORVA_EXPECT_CATALOGUE), UTF-8.
struct LauncherTexts {
    const char* title;
    const char* version;
    const char* readme;
    const char* driver;
    const char* exit;
    const char* link;
    const char* aboutItem;
    const char* fontFace;
    const char* wizardCaption;
};
const LauncherTexts& ExpectedTexts();

// Moves the real pointer to a point of a window's client area.
void MovePointerTo(HWND window, int x, int y);
// Presses or releases the left mouse button where the pointer is.
void PressLeftButton(bool down);
// Visible top-level windows of this thread whose title is `titleUtf8`.
std::vector<HWND> ThreadWindowsTitled(const std::string& titleUtf8);
