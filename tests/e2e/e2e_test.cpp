// The whole road of an install as a person goes it: Setup.exe runs as a
// separate process in a copy of the sample install folder, and the test
// drives it only through its windows, then checks the spooler, the profile
// and the driver directory.
#include "support/spooler_state.h"
#include "support/test_support.h"
#include "ui_driver.h"

#include <gtest/gtest.h>
#include <winspool.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

// Control IDs of the program's windows.
enum {
    kReadme = 1023, kDriver = 1025, kExit = 1024, kTitle = 1030,
    kBack = 1000, kNext = 1002, kCancel = IDCANCEL,
    kList = 1007, kAgreementText = 1026, kModelValue = 1027, kPortValue = 1028,
    kPercent = 1006,
};

bool Chinese() { return std::string(std::getenv("KORVA_EXPECT_CATALOGUE") ? std::getenv("KORVA_EXPECT_CATALOGUE") : "") == "zh"; }

struct Texts {
    const char* wizardCaption;
    const char* next;
    const char* cancel;
    const char* accept;
    const char* decline;
    const char* caption;
    const char* complete;
    const char* fail;
    const char* choose;
    const char* inUse;
    const char* stagingFailed;
    const char* copySuffix;
    std::vector<std::string> models;
};

const Texts& T()
{
    static const Texts english = {
        "KORVA Impact Printer Driver Setup Wizard", "Next>", "Cancel", "Accept", "Decline", "INFO",
        " Setup Complete!", " Setup Fail!", "Please select the printer model and port before setup go on!",
        "Files access denied! Please exit running applications and reinstall!",
        "Copy printer driver files To system Fail!", " (Copy 1)", {"KORVA KD-900II", "KORVA KD-900Pro"}};
    static const Texts chinese = {
        "岚鹊微型打印机驱动程序安装向导", "下一步>", "取消", "接受", "不接受", "安装提示", "驱动程序安装完毕!",
        "驱动程序安装失败!", "请选择要安装的打印机和端口，否则无法正确安装！",
        "系统文件正在被使用中！请退出应用程序并重新启动操作系统后，再次运行安装程序!",
        "拷贝打印机驱动文件到系统目录失败!", " (副本 1)",
        {"岚鹊KD-810 标准版", "岚鹊KD-810 票据A版", "岚鹊KD-810 票据B版", "岚鹊KD-810 保单A版", "岚鹊KD-820 标准版",
         "岚鹊KD-820 票据A版", "岚鹊KD-820 票据B版"}};
    return Chinese() ? chinese : english;
}

// The Windows version Wine shows Setup.exe ("" for the prefix default).
class ScopedSetupVersion {
public:
    explicit ScopedSetupVersion(const std::string& version) : m_set(!version.empty())
    {
        if (!m_set)
            return;
        HKEY key;
        RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Setup.exe", 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr);
        RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                       static_cast<DWORD>(version.size() + 1));
        RegCloseKey(key);
    }
    ~ScopedSetupVersion()
    {
        if (m_set)
            RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Setup.exe", "Version");
    }

private:
    bool m_set;
};

std::string DriverDirectory(const char* environment)
{
    char directory[MAX_PATH] = {};
    DWORD needed = 0;
    GetPrinterDriverDirectoryA(nullptr, const_cast<char*>(environment), 1, reinterpret_cast<BYTE*>(directory),
                               sizeof directory, &needed);
    return directory;
}

class EndToEnd : public testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH] = {};
        GetTempPathA(sizeof temp, temp);
        m_folder = std::string(temp) + "korva-e2e";
        DeleteTree(m_folder);
        ASSERT_TRUE(CopyTree(SampleFolder(), m_folder));
        std::string setupExe = "Z:" KORVA_SETUP_EXE;
        std::replace(setupExe.begin(), setupExe.end(), '/', '\\');
        ASSERT_TRUE(CopyFileA(setupExe.c_str(), JoinPath(m_folder, "Setup.exe").c_str(), FALSE));
        for (const char* environment : {static_cast<const char*>(nullptr), "Windows 4.0"})
            ClearDirectory(DriverDirectory(environment));
    }
    void TearDown() override
    {
        if (m_setup && m_setup->Running())
            m_setup->Kill();
        m_setup.reset();
        m_spooler.Restore();
        DeleteTree(m_folder);
    }

    static void ClearDirectory(const std::string& directory)
    {
        WIN32_FIND_DATAA entry;
        HANDLE find = FindFirstFileA((directory + "\\*").c_str(), &entry);
        if (find == INVALID_HANDLE_VALUE)
            return;
        do {
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                std::string path = JoinPath(directory, entry.cFileName);
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }

    HWND StartAtLauncher()
    {
        m_setup = std::make_unique<SetupProcess>();
        EXPECT_TRUE(m_setup->Start(JoinPath(m_folder, "Setup.exe"), m_folder));
        HWND launcher = m_setup->WaitForLauncher();
        EXPECT_NE(launcher, nullptr);
        return launcher;
    }

    HWND OpenWizard(HWND launcher)
    {
        ClickControl(launcher, kDriver);
        HWND wizard = m_setup->WaitForWizard();
        EXPECT_NE(wizard, nullptr);
        return wizard;
    }

    // Presses Next and waits until the next page, the one with control
    // `expectControl`, has replaced the current one.
    bool Next(HWND wizard, int expectControl) { return Press(wizard, kNext, expectControl); }
    bool Back(HWND wizard, int expectControl) { return Press(wizard, kBack, expectControl); }
    bool Press(HWND wizard, int button, int expectControl)
    {
        HWND before = VisiblePage(wizard);
        ClickControl(wizard, button);
        return WaitFor([&] {
            HWND page = VisiblePage(wizard);
            return page && page != before && GetDlgItem(page, expectControl);
        });
    }

    // From the welcome page to the confirmation page, choosing model row
    // `modelRow` and port `port` (empty: no port selected).
    void WalkToConfirmation(HWND wizard, int modelRow, const std::string& port)
    {
        ASSERT_TRUE(Next(wizard, kAgreementText));
        ASSERT_TRUE(Next(wizard, kList));
        SendMessageW(GetDlgItem(VisiblePage(wizard), kList), LB_SETCURSEL, modelRow, 0);
        ASSERT_TRUE(Next(wizard, kList));
        SelectPort(VisiblePage(wizard), port);
        ASSERT_TRUE(Next(wizard, kModelValue));
    }

    static void SelectPort(HWND page, const std::string& port)
    {
        HWND list = GetDlgItem(page, kList);
        if (port.empty()) {
            SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
            return;
        }
        std::wstring wide = WideFromUtf8(port);
        LRESULT row = SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(wide.c_str()));
        SendMessageW(list, LB_SETCURSEL, row, 0);
    }

    // The final Next: the install runs and its outcome box is answered.
    MessageBoxSeen FinishInstall(HWND wizard)
    {
        ClickControl(wizard, kNext);
        MessageBoxSeen box;
        EXPECT_TRUE(m_setup->WaitForMessageBox(box, 60000));
        AnswerMessageBox(box);
        EXPECT_TRUE(m_setup->WaitUntilGone(box.window));
        return box;
    }

    void ExitLauncher(HWND launcher)
    {
        EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(launcher) != FALSE; }));
        ClickControl(launcher, kExit);
        DWORD code = 1;
        EXPECT_TRUE(m_setup->WaitForExit(15000, &code));
        EXPECT_EQ(code, 0u);
    }

    // Names in the spooler are ANSI text of this process's code page.
    static PrinterRecord Printer(const std::string& utf8Name) { return ReadPrinter(Utf8ToAnsi(utf8Name)); }
    static std::string DefaultPrinterUtf8() { return AnsiToUtf8(DefaultPrinter()); }

    ScopedSpoolerState m_spooler;
    std::string m_folder;
    std::unique_ptr<SetupProcess> m_setup;
};

// Roads that differ only in data: the Windows version Wine reports, the
// folder whose files must be staged, the driver record level and the
// default-printer method.
struct Road {
    const char* name;
    const char* version;
    const char* folder;
    const char* environment;
    unsigned driverVersion;
    bool profileMethod;
};

const Road kRoads[] = {
    {"default", "", "Win7_XP64", nullptr, 3, false},
    {"win98", "win98", "Win98 & ME", "Windows 4.0", 0, true},
    {"winxp64", "winxp64", "Win7_XP64", nullptr, 3, false},
};

}  // namespace

TEST_F(EndToEnd, FullRoadUnderEachWindowsVersion)
{
    for (const Road& road : kRoads) {
        SCOPED_TRACE(road.name);
        m_spooler.Restore();
        ScopedSetupVersion version(road.version);
        const std::string model = T().models.back();

        HWND launcher = StartAtLauncher();
        ASSERT_NE(launcher, nullptr);
        HWND wizard = OpenWizard(launcher);
        ASSERT_NE(wizard, nullptr);
        EXPECT_FALSE(IsWindowEnabled(launcher)) << "the launcher waits while the wizard runs";
        EXPECT_EQ(WindowTextUtf8(wizard), T().wizardCaption);
        EXPECT_EQ(ControlTextUtf8(wizard, kNext), T().next);
        EXPECT_EQ(ControlTextUtf8(wizard, kCancel), T().cancel);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(wizard, kBack)));

        ASSERT_TRUE(Next(wizard, kAgreementText));
        EXPECT_EQ(ControlTextUtf8(wizard, kNext), T().accept);
        EXPECT_EQ(ControlTextUtf8(wizard, kCancel), T().decline);
        EXPECT_EQ(ControlTextUtf8(VisiblePage(wizard), kAgreementText), ReadWholeFile(JoinPath(m_folder, "agreement.txt")));
        ASSERT_TRUE(Next(wizard, kList));
        HWND modelList = GetDlgItem(VisiblePage(wizard), kList);
        ASSERT_EQ(SendMessageW(modelList, LB_GETCOUNT, 0, 0), static_cast<LRESULT>(T().models.size()));
        SendMessageW(modelList, LB_SETCURSEL, T().models.size() - 1, 0);
        ASSERT_TRUE(Next(wizard, kList));
        ASSERT_TRUE(Next(wizard, kModelValue));
        HWND confirm = VisiblePage(wizard);
        EXPECT_EQ(ControlTextUtf8(confirm, kModelValue), model);
        EXPECT_EQ(ControlTextUtf8(confirm, kPortValue), "LPT1:");

        MessageBoxSeen outcome = FinishInstall(wizard);
        EXPECT_EQ(outcome.caption, T().caption);
        EXPECT_EQ(outcome.text, model + T().complete);

        PrinterRecord printer = Printer(model);
        ASSERT_TRUE(printer.found);
        EXPECT_EQ(AnsiToUtf8(printer.driver), model);
        EXPECT_EQ(printer.port, "LPT1:");
        EXPECT_EQ(printer.printProcessor, "winprint");
        EXPECT_EQ(printer.dataType, "RAW");
        DriverRecord driver = ReadPrinterDriver(Utf8ToAnsi(model), road.driverVersion == 0 ? 3 : 6, road.environment);
        ASSERT_TRUE(driver.found);
        EXPECT_EQ(driver.version, road.driverVersion);
        std::string staged = ReadWholeFile(JoinPath(DriverDirectory(road.environment), "Kdxres.dll"));
        EXPECT_NE(staged.find(std::string("folder=") + road.folder + ";"), std::string::npos) << staged;
        if (road.profileMethod)
            EXPECT_EQ(AnsiToUtf8(ProfileDevice()), model + "," + model + ",LPT1:");
        else
            EXPECT_EQ(DefaultPrinterUtf8(), model);

        ExitLauncher(launcher);
    }
}

TEST_F(EndToEnd, SecondInstallGetsACopySuffix)
{
    HWND launcher = StartAtLauncher();
    ASSERT_NE(launcher, nullptr);
    for (const char* suffix : {"", "copy"}) {
        HWND wizard = OpenWizard(launcher);
        ASSERT_NE(wizard, nullptr);
        WalkToConfirmation(wizard, 0, "LPT1:");
        MessageBoxSeen outcome = FinishInstall(wizard);
        EXPECT_EQ(outcome.text, T().models[0] + T().complete) << suffix;
        ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(launcher) != FALSE; }));
    }
    EXPECT_TRUE(Printer(T().models[0]).found);
    PrinterRecord second = Printer(T().models[0] + T().copySuffix);
    ASSERT_TRUE(second.found);
    EXPECT_EQ(AnsiToUtf8(second.driver), T().models[0]);
    EXPECT_EQ(DefaultPrinterUtf8(), T().models[0] + T().copySuffix);
    ExitLauncher(launcher);
}

TEST_F(EndToEnd, DeclineBackAndChangedChoices)
{
    HWND launcher = StartAtLauncher();
    ASSERT_NE(launcher, nullptr);

    // Decline ends the wizard and installs nothing.
    HWND wizard = OpenWizard(launcher);
    ASSERT_TRUE(Next(wizard, kAgreementText));
    ClickControl(wizard, kCancel);
    ASSERT_TRUE(m_setup->WaitUntilGone(wizard));
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(launcher) != FALSE; }));

    // A new wizard starts again at the welcome page; changed choices after
    // Back are the ones shown and installed.
    wizard = OpenWizard(launcher);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(wizard, kBack)));
    WalkToConfirmation(wizard, 0, "LPT1:");
    ASSERT_TRUE(Back(wizard, kList));
    SelectPort(VisiblePage(wizard), "COM2:");
    ASSERT_TRUE(Back(wizard, kList));
    EXPECT_EQ(SendMessageW(GetDlgItem(VisiblePage(wizard), kList), LB_GETCOUNT, 0, 0),
              static_cast<LRESULT>(T().models.size()));
    SendMessageW(GetDlgItem(VisiblePage(wizard), kList), LB_SETCURSEL, 1, 0);
    ASSERT_TRUE(Next(wizard, kList));
    ASSERT_TRUE(Next(wizard, kModelValue));
    EXPECT_EQ(ControlTextUtf8(VisiblePage(wizard), kModelValue), T().models[1]);
    EXPECT_EQ(ControlTextUtf8(VisiblePage(wizard), kPortValue), "COM2:");
    FinishInstall(wizard);
    PrinterRecord printer = Printer(T().models[1]);
    ASSERT_TRUE(printer.found);
    EXPECT_EQ(printer.port, "COM2:");
    EXPECT_FALSE(Printer(T().models[0]).found);
    ExitLauncher(launcher);
}

TEST_F(EndToEnd, NoPortChosenIsRefusedOnTheLastPage)
{
    HWND launcher = StartAtLauncher();
    HWND wizard = OpenWizard(launcher);
    WalkToConfirmation(wizard, 0, "");
    HWND confirm = VisiblePage(wizard);
    EXPECT_EQ(ControlTextUtf8(confirm, kPortValue), "");
    ClickControl(wizard, kNext);
    MessageBoxSeen box;
    ASSERT_TRUE(m_setup->WaitForMessageBox(box));
    EXPECT_EQ(box.text, T().choose);
    EXPECT_EQ(box.owner, wizard);
    AnswerMessageBox(box);
    ASSERT_TRUE(m_setup->WaitUntilGone(box.window));
    EXPECT_TRUE(IsWindowVisible(wizard));
    EXPECT_EQ(VisiblePage(wizard), confirm);
    EXPECT_FALSE(Printer(T().models[0]).found);
    ClickControl(wizard, kCancel);
    ASSERT_TRUE(m_setup->WaitUntilGone(wizard));
    ExitLauncher(launcher);
}

TEST_F(EndToEnd, MissingAgreementShowsAnEmptyBoxAndTheInstallGoesOn)
{
    ASSERT_TRUE(DeleteFileA(JoinPath(m_folder, "agreement.txt").c_str()));
    HWND launcher = StartAtLauncher();
    HWND wizard = OpenWizard(launcher);
    ASSERT_TRUE(Next(wizard, kAgreementText));
    EXPECT_EQ(ControlTextUtf8(VisiblePage(wizard), kAgreementText), "");
    ASSERT_TRUE(Next(wizard, kList));
    ASSERT_TRUE(Next(wizard, kList));
    ASSERT_TRUE(Next(wizard, kModelValue));
    EXPECT_EQ(FinishInstall(wizard).text, T().models[0] + T().complete);
    ExitLauncher(launcher);
}

// A driver file held open by another program makes staging tell the user,
// and the install ends as failed; while those boxes are up a close request
// to the progress window is ignored, so the install is not cut short.
// A differing read-only file is replaced on the way.
TEST_F(EndToEnd, LockedDriverFileFailsTheInstallAndCloseIsIgnored)
{
    std::string directory = DriverDirectory(nullptr);
    std::string gpd = T().models.size() > 2 ? "kd810.gpd" : "kd900ii.gpd";
    ASSERT_TRUE(WriteWholeFile(JoinPath(directory, gpd), "differs and is in use"));
    ASSERT_TRUE(WriteWholeFile(JoinPath(directory, "Kdxres.dll"), "an older, read-only copy"));
    SetFileAttributesA(JoinPath(directory, "Kdxres.dll").c_str(), FILE_ATTRIBUTE_READONLY);
    HANDLE locked = CreateFileA(JoinPath(directory, gpd).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);

    HWND launcher = StartAtLauncher();
    HWND wizard = OpenWizard(launcher);
    WalkToConfirmation(wizard, 0, "LPT1:");
    ClickControl(wizard, kNext);

    MessageBoxSeen inUse;
    ASSERT_TRUE(m_setup->WaitForMessageBox(inUse, 60000));
    EXPECT_EQ(inUse.text, T().inUse);
    HWND progress = m_setup->WaitForProgress(0);
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(inUse.owner, progress);
    // The user tries to close the progress window while the install waits.
    PostMessageW(progress, WM_SYSCOMMAND, SC_CLOSE, 0);
    PostMessageW(progress, WM_CLOSE, 0, 0);
    Sleep(300);
    EXPECT_TRUE(IsWindow(progress) && IsWindowVisible(progress));
    AnswerMessageBox(inUse);
    ASSERT_TRUE(m_setup->WaitUntilGone(inUse.window));

    MessageBoxSeen staging;
    ASSERT_TRUE(m_setup->WaitForMessageBox(staging));
    EXPECT_EQ(staging.text, T().stagingFailed);
    AnswerMessageBox(staging);
    ASSERT_TRUE(m_setup->WaitUntilGone(staging.window));
    MessageBoxSeen outcome;
    ASSERT_TRUE(m_setup->WaitForMessageBox(outcome));
    EXPECT_EQ(outcome.text, T().models[0] + T().fail);
    AnswerMessageBox(outcome);
    EXPECT_TRUE(m_setup->WaitUntilGone(progress));
    CloseHandle(locked);

    EXPECT_EQ(ReadWholeFile(JoinPath(directory, "Kdxres.dll")), ReadWholeFile(JoinPath(JoinPath(m_folder, "Win7_XP64"), "Kdxres.dll")));
    EXPECT_FALSE(Printer(T().models[0]).found);
    ExitLauncher(launcher);
}
