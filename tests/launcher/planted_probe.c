/* The control case of the planting test: a program that does what Setup.exe
   must not do. It imports shell32 and loads every planted name by its bare
   name with the default search order, so each planted DLL beside it leaves
   its marker. It shows that the test's set-up would catch Setup.exe. */
#include <windows.h>
#include <shellapi.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    static const char* const names[] = {"uxtheme.dll", "comctl32.dll", "setupapi.dll", "winspool.drv",
                                        "dwmapi.dll", "cryptbase.dll"};
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)show;
    for (unsigned i = 0; i < sizeof names / sizeof names[0]; ++i)
        LoadLibraryA(names[i]);
    /* Taking the address is enough for a static import of shell32. */
    void* volatile shell = (void*)DragQueryFileA;
    return shell == NULL;
}
