#include "engine/progress.h"

#include <commctrl.h>

#include <string>

HWND g_progressDialog = nullptr;
HWND g_progressBar = nullptr;
int g_progressPercent = 0;

void ReportProgress(int percent)
{
    if (g_progressBar)
        SendMessageA(g_progressBar, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
    if (g_progressDialog)
        SetDlgItemTextA(g_progressDialog, kProgressLabelId, (std::to_string(percent) + "%").c_str());
}
