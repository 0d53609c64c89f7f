// The table of system operations through which the install engine reaches the
// print spooler, SetupAPI, the profile and broadcast services, message boxes,
// the shell and the C runtime's thread start. Production binds it once from
// the system directory; a test rebinds single entries to make them fail or to
// record what was shown.
#pragma once

#include <windows.h>

struct EngineOps {
    BOOL(WINAPI* GetPrinterDriverDirectoryA)(LPSTR server, LPSTR environment, DWORD level,
                                             LPBYTE buffer, DWORD size, LPDWORD needed);
    BOOL(WINAPI* SetupCopyOEMInfA)(PCSTR source, PCSTR mediaLocation, DWORD mediaType,
                                   DWORD copyStyle, PSTR destName, DWORD destSize,
                                   PDWORD requiredSize, PSTR* destComponent);
    BOOL(WINAPI* AddPrinterDriverA)(LPSTR server, DWORD level, LPBYTE info);
    HANDLE(WINAPI* AddPrinterA)(LPSTR server, DWORD level, LPBYTE info);
    BOOL(WINAPI* OpenPrinterA)(LPSTR name, LPHANDLE printer, LPVOID defaults);
    BOOL(WINAPI* ClosePrinter)(HANDLE printer);
    BOOL(WINAPI* SetDefaultPrinterA)(LPCSTR name);
    BOOL(WINAPI* EnumPortsA)(LPSTR server, DWORD level, LPBYTE buffer, DWORD size,
                             LPDWORD needed, LPDWORD returned);
    BOOL(WINAPI* WriteProfileStringA)(LPCSTR section, LPCSTR key, LPCSTR value);
    BOOL(WINAPI* SendNotifyMessageA)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT(WINAPI* SendMessageTimeoutA)(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT flags, UINT timeout, PDWORD_PTR result);
    int(WINAPI* MessageBoxA)(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
    HINSTANCE(WINAPI* ShellExecuteA)(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                                     LPCSTR directory, INT show);
    uintptr_t(__cdecl* BeginThreadEx)(void* security, unsigned stackSize,
                                      unsigned(__stdcall* start)(void*), void* argument,
                                      unsigned flags, unsigned* threadId);
};

extern EngineOps g_ops;

// Binds every operation from DLLs loaded out of the system directory only.
// An operation the running system lacks stays bound to a stand-in that fails
// with ERROR_PROC_NOT_FOUND, so nothing is ever called through a null pointer.
void BindEngineOps();

// Registers common-control window classes (InitCommonControlsEx with the
// given ICC_ flags) through comctl32 loaded from the system directory.
// Returns the call's result, FALSE when comctl32 cannot be loaded.
BOOL InitCommonControlClasses(DWORD classes);

// Loads a DLL from the system directory only, never from the current or the
// program's folder.
HMODULE LoadSystemLibrary(const char* name);
