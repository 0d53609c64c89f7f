// Setup.exe as a separate process, driven through its windows: how it ends,
// and that nothing planted in its folder runs, on the whole road of an
// install.
#include "support/spooler_state.h"
#include "support/test_support.h"
#include "ui_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

enum { kReadme = 1023, kDriver = 1025, kExit = 1024, kNext = 1002, kList = 1007, kModelValue = 1027,
       kAgreementText = 1026 };

// DLLs Setup.exe imports or binds at run time, or that the system's own DLLs load for it.
const char* const kPlantedDlls[] = {"uxtheme.dll", "comctl32.dll", "setupapi.dll", "winspool.drv",
                                    "shell32.dll", "dwmapi.dll", "cryptbase.dll"};

std::string WindowsPath(const char* unixPath)
{
    std::string path = std::string("Z:") + unixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// Wine prefers its built-in copy of a DLL it ships; these overrides make a
// program prefer a DLL found on its search path, as Windows does.
class ScopedNativeDllsFirst {
public:
    explicit ScopedNativeDllsFirst(const std::string& program)
        : m_key("Software\\Wine\\AppDefaults\\" + program + "\\DllOverrides")
    {
        HKEY key;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, m_key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr))
            return;
        for (std::string name : kPlantedDlls) {
            // Wine names a .dll without its extension, any other file with it.
            if (name.size() > 4 && name.compare(name.size() - 4, 4, ".dll") == 0)
                name.resize(name.size() - 4);
            RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>("native,builtin"), 15);
        }
        RegCloseKey(key);
    }
    ~ScopedNativeDllsFirst() { RegDeleteKeyA(HKEY_CURRENT_USER, m_key.c_str()); }

private:
    std::string m_key;
};

std::vector<std::string> Markers(const std::string& folder)
{
    std::vector<std::string> found;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA(JoinPath(folder, "*.loaded").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return found;
    do {
        found.push_back(entry.cFileName);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return found;
}

void DeleteMarkers(const std::string& folder)
{
    for (const std::string& name : Markers(folder))
        DeleteFileA(JoinPath(folder, name).c_str());
}

// A top-level window of any process whose class is `className` and whose
// title contains `part`.
HWND FindWindowOf(const wchar_t* className, const std::string& part)
{
    HWND found = nullptr;
    WaitFor([&] {
        for (HWND w = FindWindowExW(nullptr, nullptr, className, nullptr); w;
             w = FindWindowExW(nullptr, w, className, nullptr)) {
            if (WindowTextUtf8(w).find(part) != std::string::npos) {
                found = w;
                return true;
            }
        }
        return false;
    });
    return found;
}

class SetupExe : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CopyFileA(WindowsPath(KORVA_SETUP_EXE).c_str(), JoinPath(m_folder.Path(), "Setup.exe").c_str(),
                              FALSE));
    }

    HWND StartAtLauncher()
    {
        EXPECT_TRUE(m_setup.Start(JoinPath(m_folder.Path(), "Setup.exe"), m_folder.Path()));
        HWND launcher = m_setup.WaitForLauncher();
        EXPECT_NE(launcher, nullptr);
        return launcher;
    }

    // Presses the wizard's Next and waits until the page with `control` shows.
    bool Next(HWND wizard, int control)
    {
        ClickControl(wizard, kNext);
        return WaitFor([&] {
            HWND page = VisiblePage(wizard);
            return page && GetDlgItem(page, control);
        });
    }

    ScopedInstallFolder m_folder{"korva-setup-exe"};
    SetupProcess m_setup;
};

}  // namespace

TEST_F(SetupExe, EscapeAndTheExitButtonEndTheProcessWithStatusZero)
{
    struct Case {
        const char* name;
        void (*end)(HWND launcher);
    } cases[] = {
        {"Escape", [](HWND launcher) { PostMessageW(launcher, WM_KEYDOWN, VK_ESCAPE, 0); }},
        {"exit button", [](HWND launcher) { ClickControl(launcher, kExit); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetupProcess setup;
        ASSERT_TRUE(setup.Start(JoinPath(m_folder.Path(), "Setup.exe"), m_folder.Path()));
        HWND launcher = setup.WaitForLauncher();
        ASSERT_NE(launcher, nullptr);
        c.end(launcher);
        DWORD code = 99;
        ASSERT_TRUE(setup.WaitForExit(15000, &code));
        EXPECT_EQ(code, 0u);
    }
}

// An elevated installer started from a download folder must not run a DLL
// or a notepad.exe planted there. Small programs of ours, named after the
// DLLs and after Notepad, each leave a marker when they run; the whole road
// (read-me, an install, exit) must leave none. A probe that loads them the
// careless way shows first that each one would be caught.
TEST_F(SetupExe, PlantedDllsAndNotepadNeverRunOnTheWholeRoad)
{
    const std::string planted = WindowsPath(KORVA_PLANTED_DIR);
    for (const char* name : kPlantedDlls)
        ASSERT_TRUE(CopyFileA(JoinPath(planted, name).c_str(), JoinPath(m_folder.Path(), name).c_str(), FALSE)) << name;
    ASSERT_TRUE(CopyFileA(JoinPath(planted, "notepad.exe").c_str(), JoinPath(m_folder.Path(), "notepad.exe").c_str(),
                          FALSE));
    ScopedNativeDllsFirst setupPrefersNative("Setup.exe");
    ScopedNativeDllsFirst probePrefersNative("planted_probe.exe");

    {
        SetupProcess probe;
        std::string exe = JoinPath(m_folder.Path(), "planted_probe.exe");
        ASSERT_TRUE(CopyFileA(WindowsPath(KORVA_PROBE_EXE).c_str(), exe.c_str(), FALSE));
        ASSERT_TRUE(probe.Start(exe, m_folder.Path()));
        ASSERT_TRUE(probe.WaitForExit(15000));
        std::vector<std::string> caught = Markers(m_folder.Path());
        EXPECT_EQ(caught.size(), std::size(kPlantedDlls)) << "the probe loads every planted DLL";
        DeleteMarkers(m_folder.Path());
    }

    ScopedSpoolerState spooler;
    HWND launcher = StartAtLauncher();
    ASSERT_NE(launcher, nullptr);

    // The read-me button opens Readme.txt in the system's Notepad.
    ClickControl(launcher, kReadme);
    HWND notepad = FindWindowOf(L"Notepad", "Readme.txt");
    EXPECT_NE(notepad, nullptr) << "the system's Notepad shows the read-me file";
    if (notepad)
        PostMessageW(notepad, WM_CLOSE, 0, 0);

    // An install from the first model on LPT1:.
    ClickControl(launcher, kDriver);
    HWND wizard = m_setup.WaitForWizard();
    ASSERT_NE(wizard, nullptr);
    ASSERT_TRUE(Next(wizard, kAgreementText));
    ASSERT_TRUE(Next(wizard, kList));
    ASSERT_TRUE(Next(wizard, kList));
    ASSERT_TRUE(Next(wizard, kModelValue));
    ClickControl(wizard, kNext);
    MessageBoxSeen outcome;
    ASSERT_TRUE(m_setup.WaitForMessageBox(outcome, 60000));
    // While the install's box is up the launcher is disabled: a click that
    // still reaches its driver button opens no second wizard.
    EXPECT_FALSE(IsWindowEnabled(launcher));
    ClickControl(launcher, kDriver);
    EXPECT_EQ(m_setup.WaitForWizard(1000), nullptr) << "a second wizard opened during the install";
    AnswerMessageBox(outcome);
    ASSERT_TRUE(m_setup.WaitUntilGone(outcome.window));
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(launcher) != FALSE; }));

    ClickControl(launcher, kExit);
    DWORD code = 99;
    ASSERT_TRUE(m_setup.WaitForExit(15000, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(Markers(m_folder.Path()).empty()) << "first marker: " << Markers(m_folder.Path())[0];

    spooler.Restore();
    ClearDriverDirectory();
}
