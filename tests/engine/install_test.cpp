#include "engine/catalogue.h"
#include "engine/catalogue_ids.h"
#include "engine/install.h"
#include "engine/ops.h"
#include "engine/os_variant.h"
#include "engine/progress.h"
#include "engine/staging.h"
#include "install_fixture.h"
#include "support/progress_window.h"

#include <winspool.h>

#include <functional>

namespace {

// Puts every operation back as it was, whatever a case rebound.
struct OpsSnapshot {
    EngineOps saved = g_ops;
    ~OpsSnapshot() { g_ops = saved; }
};

// Counts what the install asked of the spooler and the profile, passing each
// call on to the operation bound before.
struct CallLog {
    static inline int addDriver, addPrinter, writeProfile;
    static inline std::vector<std::string> defaults;
    static inline EngineOps real;

    CallLog()
    {
        addDriver = addPrinter = writeProfile = 0;
        defaults.clear();
        real = g_ops;
        g_ops.AddPrinterDriverA = [](LPSTR server, DWORD level, LPBYTE info) -> BOOL {
            ++addDriver;
            return real.AddPrinterDriverA(server, level, info);
        };
        g_ops.AddPrinterA = [](LPSTR server, DWORD level, LPBYTE info) -> HANDLE {
            ++addPrinter;
            return real.AddPrinterA(server, level, info);
        };
        g_ops.WriteProfileStringA = [](LPCSTR section, LPCSTR key, LPCSTR value) -> BOOL {
            ++writeProfile;
            return real.WriteProfileStringA(section, key, value);
        };
        g_ops.SetDefaultPrinterA = [](LPCSTR name) -> BOOL {
            defaults.push_back(name ? name : "");
            return real.SetDefaultPrinterA(name);
        };
    }
    OpsSnapshot restore;
};

// A driver of the spooler's own making, so a printer can be there before the install.
const char* const kOtherDriver = "KORVA test driver";

bool AddOtherDriver(int variant)
{
    std::string directory = SpoolerDriverDirectory();
    std::string driverFile = JoinPath(directory, "UNIDRV.DLL"), dataFile = JoinPath(directory, "kd820.gpd"),
                configFile = JoinPath(directory, "UNIDRVUI.DLL"), name = kOtherDriver;
    DRIVER_INFO_3A info = {};
    info.cVersion = variant == OSV_WIN9X ? 0 : 3;
    info.pName = name.data();
    info.pDriverPath = driverFile.data();
    info.pDataFile = dataFile.data();
    info.pConfigFile = configFile.data();
    return AddPrinterDriverA(nullptr, 3, reinterpret_cast<LPBYTE>(&info));
}

class Install : public InstallFixture {
protected:
    // Source folder INF of the running variant.
    std::string SourceInf() const
    {
        return m_folder.Path() + CatalogueText(DriverFolderEntry(m_variant)) + CatalogueText(CAT_INF_FILE);
    }

    // The spooler must know the other driver's files before it takes it.
    void AddPrinterWithOtherDriver(const std::string& name)
    {
        MessageRecorder quiet;
        ASSERT_EQ(StageDriverFiles(m_variant, nullptr), 1);
        if (!DriverNames().count(kOtherDriver)) {
            ASSERT_TRUE(AddOtherDriver(m_variant));
        }
        ASSERT_TRUE(AddPlainPrinter(name, kOtherDriver));
    }
};

struct Expected {
    unsigned entry;
    bool ownedByProgress;
    UINT icon;
};

void ExpectMessages(const std::vector<ShownMessage>& shown, const std::vector<Expected>& expected, HWND progress)
{
    ASSERT_EQ(shown.size(), expected.size());
    for (size_t i = 0; i < shown.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "message " << i);
        EXPECT_EQ(shown[i].text, AnsiToUtf8(CatalogueText(expected[i].entry)));
        EXPECT_EQ(shown[i].caption, AnsiToUtf8(CatalogueText(CAT_MSG_CAPTION)));
        EXPECT_EQ(shown[i].type, expected[i].icon);
        EXPECT_EQ(shown[i].owner, expected[i].ownedByProgress ? progress : nullptr);
    }
}

}  // namespace

TEST_F(Install, FullInstallAddsPrinterAndDriverAndMakesItTheDefault)
{
    std::string model = TestModel();
    MessageRecorder messages;
    ScopedProgressWindow progress;
    CallLog log;
    ASSERT_EQ(RunInstall(), 1);
    EXPECT_TRUE(messages.Messages().empty());
    EXPECT_EQ(progress.Percent(), 80);

    EXPECT_TRUE(PrinterNames().count(model));
    PrinterRecord printer = ReadPrinter(model);
    EXPECT_EQ(printer.port, "LPT1:");
    EXPECT_EQ(printer.driver, model);
    EXPECT_EQ(printer.printProcessor, "winprint");
    EXPECT_EQ(printer.dataType, "RAW");
    EXPECT_TRUE(printer.attributes & PRINTER_ATTRIBUTE_LOCAL);
    DriverRecord driver = ReadPrinterDriver(model, m_variant == OSV_WIN9X ? 3 : 6);
    EXPECT_EQ(driver.name, model);
    EXPECT_EQ(driver.dataFile, m_variant == OSV_WIN9X ? TestModelDriverFile() : TestModelDataFile());
    EXPECT_EQ(driver.dependentFiles, ExpectedDependentFiles(m_variant));

    EXPECT_EQ(DefaultPrinter(), model);
    if (m_variant == OSV_WIN9X) {
        EXPECT_TRUE(log.defaults.empty());
        EXPECT_EQ(ProfileDevice(), model + "," + model + ",LPT1:");
    } else {
        EXPECT_EQ(log.defaults, std::vector<std::string>{model});
        EXPECT_EQ(log.writeProfile, 0);
    }
}

TEST_F(Install, SecondPrinterOfAModelGetsTheCopyName)
{
    // A printer named like the model that uses another driver.
    std::string model = TestModel(), copy = CopyName(model, 1);
    AddPrinterWithOtherDriver(model);
    ClearDriverDirectory();

    MessageRecorder messages;
    ScopedProgressWindow progress;
    CallLog log;
    ASSERT_EQ(RunInstall(), 1);
    EXPECT_TRUE(messages.Messages().empty());
    EXPECT_EQ(ReadPrinter(copy).driver, model);
    EXPECT_EQ(ReadPrinter(model).driver, kOtherDriver);
    EXPECT_TRUE(DriverNames().count(model));
    EXPECT_FALSE(DriverNames().count(copy));

    EXPECT_EQ(DefaultPrinter(), copy);
    if (m_variant == OSV_WIN9X)
        EXPECT_EQ(ProfileDevice(), copy + "," + model + ",LPT1:");
    else
        EXPECT_EQ(log.defaults, std::vector<std::string>{copy});
}

TEST_F(Install, NameProbeTakesTheFirstFreeName)
{
    std::string model = TestModel();
    struct Case {
        std::vector<int> present;  // -1 the model's own name, n its copy n
        int chosen;
    } cases[] = {
        {{}, -1},
        {{-1}, 1},
        {{-1, 2}, 1},
        {{-1, 1}, 2},
        {{1, 2}, -1},
    };
    auto nameOf = [&](int copy) { return copy < 0 ? model : CopyName(model, copy); };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        for (int copy : c.present)
            AddPrinterWithOtherDriver(nameOf(copy));
        std::string name;
        EXPECT_EQ(ChoosePrinterName(model, name), 1);
        EXPECT_EQ(AnsiToUtf8(name), AnsiToUtf8(nameOf(c.chosen)));
        m_spooler.Restore();
    }
}

namespace {
int g_opens = 0;
BOOL WINAPI OpenAnyName(LPSTR, LPHANDLE printer, LPVOID)
{
    ++g_opens;
    *printer = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(1));
    return TRUE;
}
BOOL WINAPI CloseAnyPrinter(HANDLE) { return TRUE; }
}  // namespace

TEST_F(Install, NameProbeGivesUpWhenNoFreeNameCanBeFound)
{
    {
        // Every name can be opened: the probe stops after the last copy number.
        OpsSnapshot restore;
        g_ops.OpenPrinterA = OpenAnyName;
        g_ops.ClosePrinter = CloseAnyPrinter;
        g_opens = 0;
        MessageRecorder messages;
        ScopedProgressWindow progress;
        CallLog log;
        EXPECT_EQ(RunInstall(), 0);
        EXPECT_EQ(g_opens, kMaxPrinterCopies + 1);
        ExpectMessages(messages.Messages(), {{CAT_MSG_REGISTRATION_FAILED, true, MB_ICONERROR}},
                       progress.Window());
        EXPECT_EQ(progress.Percent(), 0);
        EXPECT_FALSE(FileExists(JoinPath(SpoolerDriverDirectory(), "Kdxres.dll"))) << "staging ran";
        EXPECT_EQ(log.addDriver + log.addPrinter + log.writeProfile, 0);
        EXPECT_TRUE(log.defaults.empty());
    }
    // A suffix that cannot number its copies makes the same name again: the
    // probe stops at the first repeat. Entries 9003 (" (Copy)") and 9005
    // (absent) stand in for a faulty entry 200.
    struct Case {
        unsigned entry;
        int opens;
    } cases[] = {{9003, 2}, {9005, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        OpsSnapshot restore;
        g_ops.OpenPrinterA = OpenAnyName;
        g_ops.ClosePrinter = CloseAnyPrinter;
        g_opens = 0;
        std::string name = "unchanged";
        EXPECT_EQ(ChoosePrinterName(TestModel(), name, c.entry), 0);
        EXPECT_EQ(g_opens, c.opens);
        EXPECT_EQ(name, "unchanged");
    }
    // Conversions other than the one number reach the name as text (entry 9004).
    AddPrinterWithOtherDriver(TestModel());
    std::string name;
    EXPECT_EQ(ChoosePrinterName(TestModel(), name, 9004), 1);
    EXPECT_EQ(name, TestModel() + " %s%n%x (Copy 1)");
}

TEST(FormatCopySuffix, SubstitutesOnlyTheOneNumber)
{
    struct Case {
        const char* format;
        int number;
        const char* expected;
    } cases[] = {
        {" (Copy %d)", 1, " (Copy 1)"},
        {" (副本 %d)", 12, " (副本 12)"},
        {" (Copy %d) %d", 3, " (Copy 3) %d"},
        {"%s%n%x%p %d", 4, "%s%n%x%p 4"},
        {"100%% %d", 5, "100% 5"},
        {"%%d %d", 6, "%d 6"},
        {" (Copy)", 7, " (Copy)"},
        {"", 8, ""},
        {"%", 9, "%"},
        {"%d%", 10, "10%"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        std::string format = Utf8ToAnsi(c.format);
        if (AnsiToUtf8(format) != c.format)
            continue;  // not expressible in this code page
        EXPECT_EQ(AnsiToUtf8(FormatCopySuffix(format, c.number)), c.expected);
    }
}

namespace {
BOOL WINAPI NoDriverDirectory(LPSTR, LPSTR, DWORD, LPBYTE, DWORD, LPDWORD)
{
    SetLastError(ERROR_INVALID_ENVIRONMENT);
    return FALSE;
}

// Staging gets the directory; registration, which asks next, does not.
int g_directoryQueries = 0;
decltype(EngineOps::GetPrinterDriverDirectoryA) g_realDirectoryQuery;
BOOL WINAPI DriverDirectoryOnce(LPSTR server, LPSTR environment, DWORD level, LPBYTE buffer, DWORD size,
                                LPDWORD needed)
{
    if (++g_directoryQueries > 1)
        return NoDriverDirectory(server, environment, level, buffer, size, needed);
    return g_realDirectoryQuery(server, environment, level, buffer, size, needed);
}

BOOL WINAPI RefuseDriver(LPSTR, DWORD, LPBYTE)
{
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

HANDLE WINAPI RefusePrinter(LPSTR, DWORD, LPBYTE)
{
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
}

// What Windows' SetupAPI answers for an INF it cannot parse.
BOOL WINAPI UnparsableInf(PCSTR, PCSTR, DWORD, DWORD, PSTR, DWORD, PDWORD, PSTR*)
{
    SetLastError(0xE0000003);
    return FALSE;
}
}  // namespace

TEST_F(Install, EachFailingStepIsToldAndEndsTheInstall)
{
    const bool win9x = m_variant == OSV_WIN9X;
    const Expected noDirectory{CAT_MSG_NO_DRIVER_DIR, false, MB_ICONERROR};
    const Expected infFailed{CAT_MSG_INF_FAILED, false, MB_ICONERROR};
    const Expected stagingFailed{CAT_MSG_STAGING_FAILED, true, MB_ICONINFORMATION};
    const Expected registrationFailed{CAT_MSG_REGISTRATION_FAILED, true, MB_ICONERROR};
    struct Case {
        const char* what;
        std::function<void()> breakIt;
        std::vector<Expected> messages;
        int percent;
        bool driverAdded;
    } cases[] = {
        {"driver directory", [] { g_ops.GetPrinterDriverDirectoryA = NoDriverDirectory; },
         {noDirectory, stagingFailed}, 20, false},
        {"driver directory at registration",
         [] {
             g_directoryQueries = 0;
             g_realDirectoryQuery = g_ops.GetPrinterDriverDirectoryA;
             g_ops.GetPrinterDriverDirectoryA = DriverDirectoryOnce;
         },
         {noDirectory, registrationFailed}, 20, false},
        // At level 3 the refusal goes unnoticed and the printer, lacking its driver, fails.
        {"driver", [] { g_ops.AddPrinterDriverA = RefuseDriver; }, {registrationFailed}, win9x ? 60 : 20, false},
        {"printer", [] { g_ops.AddPrinterA = RefusePrinter; }, {registrationFailed}, 60, true},
        {"unparsable INF", [] { g_ops.SetupCopyOEMInfA = UnparsableInf; }, {infFailed}, 10, false},
        {"broken INF", [this] { ASSERT_TRUE(WriteWholeFile(SourceInf(), "no INF at all\r\n")); },
         {infFailed, stagingFailed}, 10, false},
    };
    std::string model = TestModel();
    std::string defaultBefore = DefaultPrinter();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::set<std::string> printersBefore = PrinterNames();
        {
            OpsSnapshot restore;
            c.breakIt();
            MessageRecorder messages;
            ScopedProgressWindow progress;
            CallLog log;
            EXPECT_EQ(RunInstall(), 0);
            ExpectMessages(messages.Messages(), c.messages, progress.Window());
            EXPECT_EQ(progress.Percent(), c.percent);
            EXPECT_EQ(progress.Label(), std::to_string(c.percent) + "%");
            EXPECT_EQ(log.writeProfile, 0);
            EXPECT_TRUE(log.defaults.empty());
        }
        EXPECT_EQ(PrinterNames(), printersBefore);
        EXPECT_EQ(DriverNames().count(model) != 0, c.driverAdded);
        EXPECT_EQ(DefaultPrinter(), defaultBefore);
        m_spooler.Restore();
        ClearDriverDirectory();
    }
}
