#include "engine/default_printer.h"

#include "engine/ops.h"
#include "engine/selection.h"

#include <windows.h>

#include <string>

void MakeDefaultPrinter(const char* printerName, const char* port)
{
    // The driver name in the middle is the model: the printer was added with it.
    std::string device = std::string(printerName) + "," + g_selectedModel + "," + port;
    g_ops.WriteProfileStringA("Windows", "Device", device.c_str());
    LPARAM section = reinterpret_cast<LPARAM>("windows");
    g_ops.SendNotifyMessageA(HWND_BROADCAST, WM_WININICHANGE, 0, section);
    // The time-out bounds how long one hung window can hold the install.
    g_ops.SendMessageTimeoutA(HWND_BROADCAST, WM_WININICHANGE, 0, section, SMTO_NORMAL, 1000, nullptr);
}
