/* A notepad.exe planted beside Setup.exe: leaves "notepad.exe.loaded" next
   to itself when it runs, and ends. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    char path[MAX_PATH + 8];
    DWORD len = GetModuleFileNameA(NULL, path, MAX_PATH);
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)show;
    if (len > 0 && len < MAX_PATH) {
        lstrcatA(path, ".loaded");
        HANDLE marker = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        if (marker != INVALID_HANDLE_VALUE)
            CloseHandle(marker);
    }
    return 0;
}
