// CWinApp: the one application object. The program's entry point restricts
// where DLLs may be loaded from, then calls InitInstance; there is no
// message loop of the application's own (every window runs modally).
#pragma once

#include <windows.h>

class CWnd;

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    static CWinApp* Current();

    // Returns whether the application wants a message loop; ours never does.
    virtual BOOL InitInstance();

    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;
};

// Removes the current directory and the program's folder from the DLL search
// path of the process. Called first thing at start.
void RestrictDllSearchPath();
