#include "ui_driver.h"

namespace {

constexpr int kMessageTextId = 0xFFFF;
constexpr int kLauncherDriverButton = 1025;
constexpr int kWizardNextButton = 1002;
constexpr int kWizardPageArea = 1004;
constexpr int kProgressBar = 1010;

struct EnumState {
    DWORD process;
    std::vector<HWND>* windows;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param)
{
    auto* state = reinterpret_cast<EnumState*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == state->process && IsWindowVisible(window))
        state->windows->push_back(window);
    return TRUE;
}

}  // namespace

std::string Utf8FromWide(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    int len = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                  nullptr);
    std::string out(static_cast<size_t>(len), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), len, nullptr, nullptr);
    return out;
}

std::wstring WideFromUtf8(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    int len = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(len), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), len);
    return out;
}

std::string WindowTextUtf8(HWND window)
{
    // WM_GETTEXT is marshalled across processes; GetWindowText of another
    // process's control would only read its caption field.
    LRESULT len = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(len) + 1, L'\0');
    LRESULT got = SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(got));
    return Utf8FromWide(text);
}

std::string ControlTextUtf8(HWND dialog, int id) { return WindowTextUtf8(GetDlgItem(dialog, id)); }

void ClickButton(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

void ClickControl(HWND dialog, int id) { ClickButton(GetDlgItem(dialog, id)); }

bool HasControl(HWND dialog, int id) { return GetDlgItem(dialog, id) != nullptr; }

bool IsMessageBox(HWND window)
{
    wchar_t cls[32] = {};
    GetClassNameW(window, cls, 32);
    return wcscmp(cls, L"#32770") == 0 && HasControl(window, kMessageTextId) && !HasControl(window, kProgressBar);
}

HWND VisiblePage(HWND wizard)
{
    for (HWND child = GetWindow(wizard, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t cls[32] = {};
        GetClassNameW(child, cls, 32);
        if (wcscmp(cls, L"#32770") == 0 && IsWindowVisible(child))
            return child;
    }
    return nullptr;
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(25);
    }
}

SetupProcess::~SetupProcess()
{
    if (m_info.hProcess) {
        if (Running())
            Kill();
        CloseHandle(m_info.hProcess);
        CloseHandle(m_info.hThread);
    }
}

bool SetupProcess::Start(const std::string& exe, const std::string& folder)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string command = "\"" + exe + "\"";
    if (!CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &m_info)) {
        m_info = {};
        return false;
    }
    return true;
}

bool SetupProcess::Running() const
{
    return m_info.hProcess && WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT;
}

bool SetupProcess::WaitForExit(DWORD timeoutMs, DWORD* exitCode)
{
    if (!m_info.hProcess || WaitForSingleObject(m_info.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return false;
    if (exitCode)
        GetExitCodeProcess(m_info.hProcess, exitCode);
    return true;
}

void SetupProcess::Kill()
{
    TerminateProcess(m_info.hProcess, 99);
    WaitForSingleObject(m_info.hProcess, 5000);
}

std::vector<HWND> SetupProcess::TopWindows() const
{
    std::vector<HWND> windows;
    EnumState state = {m_info.dwProcessId, &windows};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&state));
    return windows;
}

HWND SetupProcess::WaitForWindow(const std::function<bool(HWND)>& match, DWORD timeoutMs) const
{
    HWND found = nullptr;
    WaitFor(
        [&] {
            for (HWND window : TopWindows()) {
                if (match(window)) {
                    found = window;
                    return true;
                }
            }
            return !Running();
        },
        timeoutMs);
    return found;
}

HWND SetupProcess::WaitForLauncher(DWORD timeoutMs) const
{
    return WaitForWindow([](HWND w) { return HasControl(w, kLauncherDriverButton); }, timeoutMs);
}

HWND SetupProcess::WaitForWizard(DWORD timeoutMs) const
{
    return WaitForWindow(
        [](HWND w) { return HasControl(w, kWizardNextButton) && HasControl(w, kWizardPageArea); }, timeoutMs);
}

HWND SetupProcess::WaitForProgress(DWORD timeoutMs) const
{
    return WaitForWindow([](HWND w) { return HasControl(w, kProgressBar); }, timeoutMs);
}

bool SetupProcess::WaitForMessageBox(MessageBoxSeen& box, DWORD timeoutMs) const
{
    HWND window = WaitForWindow(IsMessageBox, timeoutMs);
    if (!window)
        return false;
    box.window = window;
    box.owner = GetWindow(window, GW_OWNER);
    box.caption = WindowTextUtf8(window);
    box.text = ControlTextUtf8(window, kMessageTextId);
    return true;
}

bool SetupProcess::WaitUntilGone(HWND window, DWORD timeoutMs) const
{
    return WaitFor([&] { return !IsWindow(window) || !IsWindowVisible(window); }, timeoutMs);
}

void AnswerMessageBox(const MessageBoxSeen& box, int button)
{
    PostMessageW(box.window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
}
