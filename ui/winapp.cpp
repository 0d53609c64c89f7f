#include "ui/winapp.h"

namespace {
CWinApp* g_currentApp = nullptr;
}  // namespace

CWinApp::CWinApp() { g_currentApp = this; }

CWinApp::~CWinApp()
{
    if (g_currentApp == this)
        g_currentApp = nullptr;
}

CWinApp* CWinApp::Current() { return g_currentApp; }

BOOL CWinApp::InitInstance() { return TRUE; }

void RestrictDllSearchPath()
{
    // An elevated installer runs from a download folder: a DLL planted there
    // must never be loaded. SetDefaultDllDirectories needs Windows 7 with
    // KB2533623 or later; without it at least the current directory goes.
    using SetDefaultFn = BOOL(WINAPI*)(DWORD);
    auto setDefault = reinterpret_cast<SetDefaultFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories")));
    if (!setDefault || !setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32))
        ::SetDllDirectoryA("");
}

// The program's entry point: no command line is read, the exit status is 0.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    RestrictDllSearchPath();
    CWinApp* app = CWinApp::Current();
    if (app) {
        app->m_hInstance = instance;
        app->InitInstance();
    }
    return 0;
}
