#include "engine/progress_window.h"

#include "engine/catalogue_ids.h"
#include "engine/install.h"
#include "engine/message_box.h"
#include "engine/ops.h"
#include "engine/progress.h"
#include "engine/selection.h"

#include <commctrl.h>

#include <atomic>
#include <string>

HANDLE g_workerThread = nullptr;
unsigned g_workerThreadId = 0;

namespace {

// Set by the worker just before it sends its WM_CLOSE: every other close
// request arrives while the install still runs and reads the shared state.
std::atomic<bool> g_workerClosing{false};

void OnInitDialog(HWND window)
{
    InitCommonControlClasses(ICC_PROGRESS_CLASS);
    g_progressBar = GetDlgItem(window, kProgressBarId);
    SendMessageA(g_progressBar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendMessageA(g_progressBar, PBM_SETPOS, 0, 0);
    SendMessageA(g_progressBar, PBM_SETSTEP, 1, 0);
    // A new install starts at 0 whatever the previous one reached.
    g_progressPercent = 0;
    SetDlgItemTextA(window, kProgressLabelId, (std::to_string(g_progressPercent) + "%").c_str());

    g_workerClosing = false;
    g_workerThread = nullptr;
    unsigned threadId = 0;
    uintptr_t thread = g_ops.BeginThreadEx(nullptr, 0, InstallWorker, window, 0, &threadId);
    if (!thread) {
        // Nothing will ever close the window: tell the user and end it here.
        ShowMessageAfter(window, g_selectedModel, CAT_MSG_FAILED, MB_ICONERROR);
        EndDialog(window, 0);
        return;
    }
    g_workerThread = reinterpret_cast<HANDLE>(thread);
    g_workerThreadId = threadId;
}

void OnClose(HWND window)
{
    if (!g_workerClosing)
        return;
    EndDialog(window, 0);
    if (g_workerThread) {
        CloseHandle(g_workerThread);
        g_workerThread = nullptr;
    }
    // Wine's dialog loop notices the end only with the next posted message
    // and drops that message: let it be this one, not the user's next click.
    PostMessageA(window, WM_NULL, 0, 0);
}

}  // namespace

INT_PTR CALLBACK ProgressDialogProc(HWND window, UINT message, WPARAM, LPARAM)
{
    g_progressDialog = window;
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(window);
        break;
    case WM_CLOSE:
        OnClose(window);
        break;
    }
    return FALSE;
}

unsigned __stdcall InstallWorker(void* parameter)
{
    HWND window = static_cast<HWND>(parameter);
    // The box names the model, never the printer's copy name.
    std::string model = g_selectedModel;
    if (RunInstall()) {
        ReportProgress(100);
        g_progressPercent = 100;
        ShowMessageAfter(g_progressDialog, model, CAT_MSG_COMPLETE, MB_ICONINFORMATION);
    } else {
        ShowMessageAfter(g_progressDialog, model, CAT_MSG_FAILED, MB_ICONERROR);
    }
    g_workerClosing = true;
    SendMessageA(window, WM_CLOSE, 0, 0);
    return 1;
}
