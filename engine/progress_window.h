// The progress window PROCESSBOX and the worker thread that runs the install
// behind it. Opened with
//   DialogBoxParamA(nullptr, "ProcessBox", nullptr, ProgressDialogProc, 0)
// after g_selectedModel and g_selectedPort are set; the progress bar class
// must be registered before (the application start does it).
#pragma once

#include <windows.h>

extern HANDLE g_workerThread;
extern unsigned g_workerThreadId;

// Starts the worker when the window opens and ends the window when the
// worker sends WM_CLOSE; a close request from the user while the worker
// runs is ignored. Returns FALSE for every message.
INT_PTR CALLBACK ProgressDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Runs the install, reports 100 on success, shows the outcome box owned by
// the progress window and closes the window `parameter` names. Returns 1.
unsigned __stdcall InstallWorker(void* parameter);
