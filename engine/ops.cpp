#include "engine/ops.h"

#include <commctrl.h>
#include <process.h>
#include <shellapi.h>

#include <string>

namespace {

// Stand-ins for operations that could not be resolved: each fails the way
// the real call reports a failure, with ERROR_PROC_NOT_FOUND as last error.
BOOL WINAPI MissingGetPrinterDriverDirectory(LPSTR, LPSTR, DWORD, LPBYTE, DWORD, LPDWORD)
{
    SetLastError(ERROR_PROC_NOT_FOUND);
    return FALSE;
}
BOOL WINAPI MissingSetupCopyOEMInf(PCSTR, PCSTR, DWORD, DWORD, PSTR, DWORD, PDWORD, PSTR*)
{
    SetLastError(ERROR_PROC_NOT_FOUND);
    return FALSE;
}
BOOL WINAPI MissingAddPrinterDriver(LPSTR, DWORD, LPBYTE)
{
    SetLastError(ERROR_PROC_NOT_FOUND);
    return FALSE;
}
HANDLE WINAPI MissingAddPrinter(LPSTR, DWORD, LPBYTE)
{
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
}
BOOL WINAPI MissingOpenPrinter(LPSTR, LPHANDLE printer, LPVOID)
{
    if (printer)
        *printer = nullptr;
    SetLastError(ERROR_PROC_NOT_FOUND);
    return FALSE;
}
BOOL WINAPI MissingClosePrinter(HANDLE)
{
    SetLastError(ERROR_PROC_NOT_FOUND);
    return FALSE;
}
BOOL WINAPI MissingSetDefaultPrinter(LPCSTR)
{
    SetLastError(ERROR_PROC_NOT_FOUND);
    return FALSE;
}
BOOL WINAPI MissingEnumPorts(LPSTR, DWORD, LPBYTE, DWORD, LPDWORD needed, LPDWORD returned)
{
    if (needed)
        *needed = 0;
    if (returned)
        *returned = 0;
    SetLastError(ERROR_PROC_NOT_FOUND);
    return FALSE;
}
HINSTANCE WINAPI MissingShellExecute(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT)
{
    SetLastError(ERROR_PROC_NOT_FOUND);
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(SE_ERR_DLLNOTFOUND));
}

template <typename Fn>
void Bind(Fn& slot, HMODULE module, const char* name)
{
    if (!module)
        return;
    FARPROC proc = GetProcAddress(module, name);
    if (proc)
        slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(proc));
}

}  // namespace

// user32 and kernel32 are known DLLs that the program imports anyway; the
// stand-ins above are only for the DLLs that are bound at run time.
EngineOps g_ops = {
    MissingGetPrinterDriverDirectory,
    MissingSetupCopyOEMInf,
    MissingAddPrinterDriver,
    MissingAddPrinter,
    MissingOpenPrinter,
    MissingClosePrinter,
    MissingSetDefaultPrinter,
    MissingEnumPorts,
    ::WriteProfileStringA,
    ::SendNotifyMessageA,
    ::SendMessageTimeoutA,
    ::MessageBoxA,
    MissingShellExecute,
    ::_beginthreadex,
};

HMODULE LoadSystemLibrary(const char* name)
{
    // LOAD_LIBRARY_SEARCH_SYSTEM32 exists from Windows 7 with KB2533623 on;
    // older systems refuse the flag, and then the full path is used.
    HMODULE module = LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module)
        return module;
    char dir[MAX_PATH] = {};
    UINT len = GetSystemDirectoryA(dir, sizeof dir);
    if (len == 0 || len >= sizeof dir)
        return nullptr;
    std::string path(dir);
    path += '\\';
    path += name;
    return LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

void BindEngineOps()
{
    HMODULE spooler = LoadSystemLibrary("winspool.drv");
    Bind(g_ops.GetPrinterDriverDirectoryA, spooler, "GetPrinterDriverDirectoryA");
    Bind(g_ops.AddPrinterDriverA, spooler, "AddPrinterDriverA");
    Bind(g_ops.AddPrinterA, spooler, "AddPrinterA");
    Bind(g_ops.OpenPrinterA, spooler, "OpenPrinterA");
    Bind(g_ops.ClosePrinter, spooler, "ClosePrinter");
    // Exported as ordinal 202 on Windows and Wine; the name is the stable contract.
    Bind(g_ops.SetDefaultPrinterA, spooler, "SetDefaultPrinterA");
    Bind(g_ops.EnumPortsA, spooler, "EnumPortsA");

    HMODULE setup = LoadSystemLibrary("setupapi.dll");
    Bind(g_ops.SetupCopyOEMInfA, setup, "SetupCopyOEMInfA");

    HMODULE shell = LoadSystemLibrary("shell32.dll");
    Bind(g_ops.ShellExecuteA, shell, "ShellExecuteA");
}

BOOL InitCommonControlClasses(DWORD classes)
{
    using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    static InitFn init = [] {
        InitFn fn = nullptr;
        Bind(fn, LoadSystemLibrary("comctl32.dll"), "InitCommonControlsEx");
        return fn;
    }();
    if (!init)
        return FALSE;
    INITCOMMONCONTROLSEX request = {sizeof request, classes};
    return init(&request);
}
