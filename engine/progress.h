// The progress window's handles and the progress report that every install
// step sends to it. Null handles make a report do nothing.
#pragma once

#include <windows.h>

extern HWND g_progressDialog;
extern HWND g_progressBar;
extern int g_progressPercent;

constexpr int kProgressBarId = 1010;
constexpr int kProgressLabelId = 1006;

// Bar to `percent`, then label 1006 to "<percent>%"; both synchronous sends.
void ReportProgress(int percent);
