// Drives Setup.exe from outside, the way a person would: it starts the
// program as a separate process, finds its windows by process and control
// ID, clicks buttons, reads texts and answers message boxes. Every wait is
// bounded.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

constexpr DWORD kDefaultWaitMs = 15000;

struct MessageBoxSeen {
    HWND window = nullptr;
    HWND owner = nullptr;
    std::string caption;  // UTF-8
    std::string text;     // UTF-8
};

class SetupProcess {
public:
    SetupProcess() = default;
    ~SetupProcess();
    SetupProcess(const SetupProcess&) = delete;
    SetupProcess& operator=(const SetupProcess&) = delete;

    // Starts `exe` with `folder` as its current directory.
    bool Start(const std::string& exe, const std::string& folder);
    DWORD Id() const { return m_info.dwProcessId; }
    bool Running() const;
    // Waits for the process to end; false on time-out.
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr);
    void Kill();

    // Visible top-level windows of the process.
    std::vector<HWND> TopWindows() const;
    // The first visible top-level window that satisfies `match`, waiting up to timeoutMs.
    HWND WaitForWindow(const std::function<bool(HWND)>& match, DWORD timeoutMs = kDefaultWaitMs) const;
    HWND WaitForLauncher(DWORD timeoutMs = kDefaultWaitMs) const;
    HWND WaitForWizard(DWORD timeoutMs = kDefaultWaitMs) const;
    HWND WaitForProgress(DWORD timeoutMs = kDefaultWaitMs) const;
    // A message box (dialog with the static text 0xFFFF and no list/edit).
    bool WaitForMessageBox(MessageBoxSeen& box, DWORD timeoutMs = kDefaultWaitMs) const;
    // True while no window of the process is visible any more or it ended.
    bool WaitUntilGone(HWND window, DWORD timeoutMs = kDefaultWaitMs) const;

private:
    PROCESS_INFORMATION m_info = {};
};

// Window text as UTF-8, read across processes.
std::string WindowTextUtf8(HWND window);
std::string ControlTextUtf8(HWND dialog, int id);
// Presses a button the way the button's own click does (posted, so a modal
// run that the click starts does not block the caller).
void ClickButton(HWND button);
void ClickControl(HWND dialog, int id);
void AnswerMessageBox(const MessageBoxSeen& box, int button = IDOK);
bool HasControl(HWND dialog, int id);
bool IsMessageBox(HWND window);
// The visible child page of the wizard frame, or null.
HWND VisiblePage(HWND wizard);
// Waits until `condition` holds; false on time-out.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = kDefaultWaitMs);

std::string Utf8FromWide(const std::wstring& text);
std::wstring WideFromUtf8(const std::string& text);
