// Makes a printer the default printer through the Windows profile, the way
// Windows 9x keeps it, and tells every top-level window.
#pragma once

// Writes "<printer>,<g_selectedModel>,<port>" to [Windows] Device, then
// broadcasts WM_WININICHANGE for "windows" twice: without waiting, then
// waiting up to a second per window. Nothing is reported.
void MakeDefaultPrinter(const char* printerName, const char* port);
