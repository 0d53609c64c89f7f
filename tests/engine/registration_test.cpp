#include "engine/catalogue.h"
#include "engine/ops.h"
#include "engine/os_variant.h"
#include "engine/registration.h"
#include "engine/staging.h"
#include "install_fixture.h"
#include "support/progress_window.h"

#include <winspool.h>

#include <cstring>

namespace {

// What the engine handed to AddPrinterDriverA, kept while the real call runs.
struct HandedDriver {
    int calls = 0;
    DWORD level = 0;
    std::string name, manufacturer;
    bool environmentNamed = false;
    std::string environment;
};
HandedDriver g_handed;
decltype(EngineOps::AddPrinterDriverA) g_realAddDriver;

BOOL WINAPI SpyAddDriver(LPSTR server, DWORD level, LPBYTE info)
{
    ++g_handed.calls;
    g_handed.level = level;
    auto* record = reinterpret_cast<DRIVER_INFO_3A*>(info);
    g_handed.name = record->pName ? record->pName : "";
    g_handed.environmentNamed = record->pEnvironment != nullptr;
    g_handed.environment = record->pEnvironment ? record->pEnvironment : "";
    g_handed.manufacturer.clear();
    if (level == 6) {
        auto* six = reinterpret_cast<DRIVER_INFO_6A*>(info);
        g_handed.manufacturer = six->pszMfgName ? six->pszMfgName : "";
    }
    return g_realAddDriver(server, level, info);
}

decltype(EngineOps::AddPrinterDriverA)& RealAddDriverSlot()
{
    g_realAddDriver = g_ops.AddPrinterDriverA;
    return g_ops.AddPrinterDriverA;
}

class SpyOnDriver {
public:
    SpyOnDriver() : m_op(RealAddDriverSlot(), SpyAddDriver) { g_handed = HandedDriver(); }

private:
    ScopedOp<decltype(EngineOps::AddPrinterDriverA)> m_op;
};

// The environment the driver-directory query was asked for.
bool g_queryEnvironmentNamed = false;
decltype(EngineOps::GetPrinterDriverDirectoryA) g_realQuery;

BOOL WINAPI SpyQuery(LPSTR server, LPSTR environment, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed)
{
    g_queryEnvironmentNamed = environment != nullptr;
    return g_realQuery(server, environment, level, buffer, size, needed);
}

DWORD g_refusal = 0;
BOOL WINAPI RefuseDriver(LPSTR, DWORD, LPBYTE)
{
    SetLastError(g_refusal);
    return FALSE;
}

BOOL WINAPI NoDriverDirectory(LPSTR, LPSTR, DWORD, LPBYTE, DWORD, LPDWORD)
{
    SetLastError(ERROR_INVALID_ENVIRONMENT);
    return FALSE;
}

// A driver directory that leaves no room for "\" and the longest file name.
BOOL WINAPI LongDriverDirectory(LPSTR, LPSTR, DWORD, LPBYTE buffer, DWORD size, LPDWORD needed)
{
    std::string path = "C:\\" + std::string(500 - 3, 'd');
    if (size <= path.size())
        return FALSE;
    memcpy(buffer, path.c_str(), path.size() + 1);
    *needed = static_cast<DWORD>(path.size() + 1);
    return TRUE;
}

class Registration : public InstallFixture {
protected:
    void SetUp() override
    {
        InstallFixture::SetUp();
        MessageRecorder quiet;
        ASSERT_EQ(StageDriverFiles(m_variant, nullptr), 1);
    }
};

}  // namespace

TEST_F(Registration, RecordsAsTheSpoolerHoldsThem)
{
    // Every level-6 variant on the NT line; the level-3 record where Windows 9x runs.
    std::vector<int> variants = m_variant == OSV_WIN9X ? std::vector<int>{0} : std::vector<int>{1, 2, 3, 4};
    std::string model = TestModel();
    for (int variant : variants) {
        SCOPED_TRACE(testing::Message() << "variant " << variant);
        MessageRecorder messages;
        ScopedProgressWindow progress;
        SpyOnDriver spy;
        g_realQuery = g_ops.GetPrinterDriverDirectoryA;
        ScopedOp<decltype(EngineOps::GetPrinterDriverDirectoryA)> query(g_ops.GetPrinterDriverDirectoryA, SpyQuery);

        ASSERT_NE(RegisterDriverAndPrinter(model.c_str(), variant), 0);
        EXPECT_TRUE(messages.Messages().empty());
        EXPECT_EQ(progress.Percent(), 80);
        EXPECT_EQ(progress.Label(), "80%");

        PrinterRecord printer = ReadPrinter(model);
        ASSERT_TRUE(printer.found);
        EXPECT_EQ(printer.port, "LPT1:");
        EXPECT_EQ(printer.driver, model);
        EXPECT_EQ(printer.printProcessor, "winprint");
        EXPECT_EQ(printer.dataType, "RAW");
        EXPECT_TRUE(printer.attributes & PRINTER_ATTRIBUTE_LOCAL);
        EXPECT_TRUE(PrinterNames().count(model));

        DriverRecord driver = ReadPrinterDriver(model, variant == 0 ? 3 : 6);
        ASSERT_TRUE(driver.found);
        EXPECT_EQ(driver.name, model);
        EXPECT_EQ(driver.dataType, "RAW");
        EXPECT_EQ(driver.dependentFiles, ExpectedDependentFiles(variant));
        if (variant == 0) {
            EXPECT_EQ(driver.version, 0u);
            EXPECT_EQ(driver.driverFile, TestModelDriverFile());
            EXPECT_EQ(driver.dataFile, TestModelDriverFile());
            EXPECT_EQ(driver.configFile, TestModelDriverFile());
            EXPECT_EQ(driver.helpFile, "");
        } else {
            EXPECT_EQ(driver.version, 3u);
            EXPECT_EQ(driver.driverFile, "UNIDRV.DLL");
            EXPECT_EQ(driver.dataFile, TestModelDataFile());
            EXPECT_EQ(driver.configFile, "UNIDRVUI.DLL");
            EXPECT_EQ(driver.helpFile, "UNIDRV.HLP");
            // Wine's spooler keeps no manufacturer, so it is checked as handed over.
            EXPECT_EQ(g_handed.manufacturer, "KORVA");
        }
        EXPECT_EQ(g_handed.level, variant == 0 ? 3u : 6u);
        // The record names the environment the directory was asked for: none
        // for a native process, the 64-bit one under WOW64.
        EXPECT_EQ(g_handed.environmentNamed, g_queryEnvironmentNamed);
        EXPECT_EQ(g_handed.environmentNamed, RunningUnderWow64());
        m_spooler.Restore();
    }
}

TEST_F(Registration, DriverCarriesTheModelNameWhenThePrinterHasACopyName)
{
    MessageRecorder messages;
    std::string model = TestModel(), copy = CopyName(model, 1);
    ASSERT_NE(RegisterDriverAndPrinter(copy.c_str(), m_variant), 0);
    EXPECT_EQ(ReadPrinter(copy).driver, model);
    EXPECT_EQ(ReadPrinterDriver(copy, m_variant == 0 ? 3 : 6).name, model);
    EXPECT_TRUE(DriverNames().count(model));
    EXPECT_FALSE(DriverNames().count(copy));
    EXPECT_FALSE(PrinterNames().count(model));
}

TEST_F(Registration, DriverOfAnEarlierInstallIsUsedAgain)
{
    MessageRecorder messages;
    std::string model = TestModel();
    ASSERT_NE(RegisterDriverAndPrinter(model.c_str(), m_variant), 0);
    // Wine's spooler replaces a driver that is added again and says so with success.
    ASSERT_NE(RegisterDriverAndPrinter(CopyName(model, 1).c_str(), m_variant), 0);

    // Windows answers ERROR_PRINTER_DRIVER_ALREADY_INSTALLED instead; that
    // counts as registered. Any other refusal stops a level-6 registration;
    // at level 3 the spooler's answer is not examined.
    struct Case {
        DWORD error;
        bool added;
    } cases[] = {
        {ERROR_PRINTER_DRIVER_ALREADY_INSTALLED, true},
        {ERROR_ACCESS_DENIED, m_variant == OSV_WIN9X},
    };
    int copy = 2;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "error " << c.error);
        g_refusal = c.error;
        ScopedOp<decltype(EngineOps::AddPrinterDriverA)> refuse(g_ops.AddPrinterDriverA, RefuseDriver);
        ScopedProgressWindow progress;
        std::string name = CopyName(model, copy++);
        EXPECT_EQ(RegisterDriverAndPrinter(name.c_str(), m_variant) != 0, c.added);
        EXPECT_EQ(ReadPrinter(name).found, c.added);
        EXPECT_EQ(progress.Percent(), c.added ? 80 : 0);
    }
    EXPECT_TRUE(messages.Messages().empty());
}

TEST_F(Registration, MissingDriverDirectoryIsToldAndChangesNothing)
{
    ScopedOp<decltype(EngineOps::GetPrinterDriverDirectoryA)> op(g_ops.GetPrinterDriverDirectoryA,
                                                                  NoDriverDirectory);
    MessageRecorder messages;
    ScopedProgressWindow progress;
    EXPECT_EQ(RegisterDriverAndPrinter(TestModel().c_str(), m_variant), 0);
    auto shown = messages.Messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, AnsiToUtf8(CatalogueText(252)));
    EXPECT_EQ(shown[0].caption, AnsiToUtf8(CatalogueText(251)));
    EXPECT_EQ(shown[0].type, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(shown[0].owner, nullptr);
    EXPECT_EQ(progress.Percent(), 0);
    EXPECT_FALSE(DriverNames().count(TestModel()));
    EXPECT_FALSE(PrinterNames().count(TestModel()));
}

TEST_F(Registration, PathsThatWouldNotFitAreRefusedBeforeTheSpoolerIsAsked)
{
    ScopedOp<decltype(EngineOps::GetPrinterDriverDirectoryA)> op(g_ops.GetPrinterDriverDirectoryA,
                                                                  LongDriverDirectory);
    MessageRecorder messages;
    ScopedProgressWindow progress;
    SpyOnDriver spy;
    EXPECT_EQ(RegisterDriverAndPrinter(TestModel().c_str(), m_variant), 0);
    EXPECT_EQ(g_handed.calls, 0);
    EXPECT_TRUE(messages.Messages().empty());
    EXPECT_EQ(progress.Percent(), 0);
    EXPECT_FALSE(DriverNames().count(TestModel()));
    EXPECT_FALSE(PrinterNames().count(TestModel()));
}

TEST(PackDependentFiles, FillsTheMultiStringOnlyWhenItFits)
{
    // 258 bytes of names with their NULs plus the closing empty name fill 259 or 260 bytes.
    std::string a(128, 'a'), b(127, 'b');
    struct Case {
        std::vector<std::string> names;
        int packed;
    } cases[] = {
        {{}, 1},
        {{"Kdxres.dll", "STDNAMES.GPD"}, 1},
        {{a, b}, 1},                      // 129 + 128 + 1 = 258
        {{a, b + "b"}, 1},                // 259
        {{a, b + "bb"}, 1},               // 260: exactly full
        {{a, b + "bbb"}, 0},              // 261
        {{std::string(300, 'x')}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.names.size() << " names");
        struct {
            char buffer[kDependentFilesSize];
            char guard[8];
        } area;
        memset(&area, 0x5A, sizeof area);
        memset(area.buffer, 0, sizeof area.buffer);
        EXPECT_EQ(PackDependentFiles(c.names, area.buffer), c.packed);
        EXPECT_EQ(std::string(area.guard, sizeof area.guard), std::string(8, 0x5A));
        std::vector<std::string> read;
        for (const char* name = area.buffer; *name; name += strlen(name) + 1)
            read.push_back(name);
        EXPECT_EQ(read, c.packed ? c.names : std::vector<std::string>{});
    }
}
