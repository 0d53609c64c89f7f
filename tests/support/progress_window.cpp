#include "support/progress_window.h"

#include "engine/ops.h"
#include "engine/progress.h"

#include <commctrl.h>

ScopedProgressWindow::ScopedProgressWindow()
{
    InitCommonControlClasses(ICC_PROGRESS_CLASS);
    m_window = CreateWindowExA(0, "STATIC", "progress", WS_POPUP, 0, 0, 300, 100, nullptr, nullptr,
                               nullptr, nullptr);
    HWND bar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD, 0, 0, 200, 20, m_window,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kProgressBarId)), nullptr, nullptr);
    CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 30, 100, 20, m_window,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kProgressLabelId)), nullptr, nullptr);
    SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    g_progressDialog = m_window;
    g_progressBar = bar;
}

ScopedProgressWindow::~ScopedProgressWindow()
{
    g_progressDialog = nullptr;
    g_progressBar = nullptr;
    DestroyWindow(m_window);
}

int ScopedProgressWindow::Percent() const
{
    return static_cast<int>(SendMessageA(GetDlgItem(m_window, kProgressBarId), PBM_GETPOS, 0, 0));
}

std::string ScopedProgressWindow::Label() const
{
    char text[64] = {};
    GetDlgItemTextA(m_window, kProgressLabelId, text, sizeof text);
    return text;
}
