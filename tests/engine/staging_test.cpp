#include "engine/catalogue.h"
#include "engine/handles.h"
#include "engine/ops.h"
#include "engine/os_variant.h"
#include "engine/progress.h"
#include "engine/staging.h"
#include "support/progress_window.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

const char* FolderOfVariant(int variant)
{
    switch (variant) {
    case 0: return "Win98 & ME";
    case 3: return "Vista & Win7";
    case 2:
    case 4: return "Win7_XP64";
    default: return "Win2K & XP & 2003";
    }
}

bool NamesFolder(const std::string& content, const char* folder)
{
    return content.find(std::string("folder=") + folder + ";") != std::string::npos;
}

std::string InfName()
{
    std::string name;
    LoadCatalogueText(100, name);
    return name;
}

// The INF store keeps our INF under its own name or as oemN.inf: find it by content.
bool InfStoreHolds(const std::string& content)
{
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, sizeof windows);
    std::string store = JoinPath(windows, "inf");
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA(JoinPath(store, "*.inf").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    bool found = false;
    do {
        found = ReadWholeFile(JoinPath(store, entry.cFileName)) == content;
    } while (!found && FindNextFileA(find, &entry));
    FindClose(find);
    return found;
}

std::string SystemExtraPath()
{
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, sizeof windows);
    return std::string(windows) + "\\system32\\srclient.dll";
}

FILETIME WriteTime(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

bool IsReadOnly(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

class Staging : public testing::Test {
protected:
    void SetUp() override
    {
        ClearDriverDirectory();
        m_driverDir = SpoolerDriverDirectory();
        ASSERT_FALSE(m_driverDir.empty());
        m_variant = DetectOsVariant();
        m_source = JoinPath(m_folder.Path(), FolderOfVariant(m_variant));
    }
    void TearDown() override { ClearDriverDirectory(); }

    std::string Staged(const std::string& name) const { return JoinPath(m_driverDir, name); }
    std::string Source(const std::string& name) const { return JoinPath(m_source, name); }

    ScopedInstallFolder m_folder;
    std::string m_driverDir;
    std::string m_source;
    int m_variant = 0;
};

}  // namespace

TEST_F(Staging, FirstInstallCopiesTheRunningVariantsFolderFlat)
{
    const char* expect = std::getenv("KORVA_EXPECT_VARIANT");
    ASSERT_NE(expect, nullptr);
    ASSERT_EQ(m_variant, std::atoi(expect));
    DeleteFileA(SystemExtraPath().c_str());

    MessageRecorder messages;
    ScopedProgressWindow progress;
    EXPECT_EQ(StageDriverFiles(m_variant, progress.Window()), 1);
    EXPECT_TRUE(messages.Messages().empty());
    EXPECT_EQ(progress.Percent(), 20);
    EXPECT_EQ(progress.Label(), "20%");

    for (const char* name : {"Kdxres.dll", "kd810ta.gpd", "kd900ii.drv", "STDNAMES.GPD", "UNIDRVUI.DLL"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(ReadWholeFile(Staged(name)), ReadWholeFile(Source(name)));
        EXPECT_TRUE(NamesFolder(ReadWholeFile(Staged(name)), FolderOfVariant(m_variant)));
    }
    EXPECT_TRUE(IsReadOnly(Staged("UNIDRV.DLL")));
    EXPECT_FALSE(IsReadOnly(Staged("Kdxres.dll")));
    // The INF is staged like a listed file and registered from the source folder.
    std::string inf = ReadWholeFile(Source(InfName()));
    EXPECT_EQ(ReadWholeFile(Staged(InfName())), inf);
    EXPECT_TRUE(InfStoreHolds(inf));
    // The extra system file went to system32 because it was absent.
    EXPECT_EQ(ReadWholeFile(SystemExtraPath()), ReadWholeFile(Source("srclient.dll")));
}

TEST_F(Staging, EachVariantStagesItsOwnFolder)
{
    MessageRecorder messages;
    for (int variant = 0; variant <= 5; ++variant) {
        SCOPED_TRACE(variant);
        ClearDriverDirectory();
        EXPECT_EQ(StageDriverFiles(variant, nullptr), 1);
        std::string staged = ReadWholeFile(Staged("kd820.gpd"));
        EXPECT_TRUE(NamesFolder(staged, FolderOfVariant(variant))) << staged;
    }
    EXPECT_TRUE(messages.Messages().empty());
}

TEST_F(Staging, RerunLeavesIdenticalFilesUntouchedEvenWhenHeldOpen)
{
    ASSERT_EQ(StageDriverFiles(m_variant, nullptr), 1);
    FILETIME before = WriteTime(Staged("Kdxres.dll"));
    // The spooler may hold driver files open while printers use them.
    FileHandle held(CreateFileA(Staged("kd810.gpd").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held.Valid());
    Sleep(20);

    MessageRecorder messages;
    EXPECT_EQ(StageDriverFiles(m_variant, nullptr), 1);
    EXPECT_TRUE(messages.Messages().empty());
    FILETIME after = WriteTime(Staged("Kdxres.dll"));
    EXPECT_EQ(CompareFileTime(&before, &after), 0);
}

TEST_F(Staging, DifferingReadOnlyUnlistedFileIsReplaced)
{
    ASSERT_TRUE(WriteWholeFile(Staged("Kdxres.dll"), "an older driver file"));
    SetFileAttributesA(Staged("Kdxres.dll").c_str(), FILE_ATTRIBUTE_READONLY);
    MessageRecorder messages;
    EXPECT_EQ(StageDriverFiles(m_variant, nullptr), 1);
    EXPECT_EQ(ReadWholeFile(Staged("Kdxres.dll")), ReadWholeFile(Source("Kdxres.dll")));
    EXPECT_TRUE(messages.Messages().empty());
}

TEST_F(Staging, ListedFilesAreNeverReplacedAndTheDriverEndsReadOnly)
{
    // Lower-case names on purpose: the list test and the read-only marker ignore case.
    ASSERT_TRUE(WriteWholeFile(Staged("unidrv.dll"), "the system's own driver"));
    ASSERT_TRUE(WriteWholeFile(Staged("unires.dll"), "the system's own resources"));
    ASSERT_TRUE(WriteWholeFile(Staged(InfName()), "an INF staged earlier"));
    EXPECT_EQ(StageDriverFiles(m_variant, nullptr), 1);
    EXPECT_EQ(ReadWholeFile(Staged("UNIDRV.DLL")), "the system's own driver");
    EXPECT_EQ(ReadWholeFile(Staged("UNIRES.DLL")), "the system's own resources");
    EXPECT_EQ(ReadWholeFile(Staged(InfName())), "an INF staged earlier");
    EXPECT_TRUE(IsReadOnly(Staged("UNIDRV.DLL")));
    // Registered from the source folder all the same.
    EXPECT_TRUE(InfStoreHolds(ReadWholeFile(Source(InfName()))));
}

TEST_F(Staging, SubFoldersAreFlattenedAndPartialNamesCountAsListed)
{
    std::string sub = JoinPath(m_source, "x");
    CreateDirectoryA(sub.c_str(), nullptr);
    ASSERT_TRUE(WriteWholeFile(JoinPath(sub, "a.gpd"), "flattened"));
    // "res.dll" is part of the list item UNIRES.DLL, so it is only copied when absent.
    ASSERT_TRUE(WriteWholeFile(JoinPath(sub, "res.dll"), "new res"));
    ASSERT_TRUE(WriteWholeFile(Staged("res.dll"), "old res"));
    EXPECT_EQ(StageDriverFiles(m_variant, nullptr), 1);
    EXPECT_EQ(ReadWholeFile(Staged("a.gpd")), "flattened");
    EXPECT_FALSE(FileExists(Staged("x")));
    EXPECT_EQ(ReadWholeFile(Staged("res.dll")), "old res");
}

TEST_F(Staging, ExistingSystemExtraIsLeftByteForByte)
{
    std::string original = ReadWholeFile(SystemExtraPath());
    ASSERT_TRUE(WriteWholeFile(SystemExtraPath(), "the system's own srclient"));
    EXPECT_EQ(StageDriverFiles(m_variant, nullptr), 1);
    EXPECT_EQ(ReadWholeFile(SystemExtraPath()), "the system's own srclient");
    WriteWholeFile(SystemExtraPath(), original);
}

TEST_F(Staging, LockedDestinationShowsFileInUseAndFails)
{
    ASSERT_TRUE(WriteWholeFile(Staged("kd810ta.gpd"), "differs and is in use"));
    FileHandle locked(CreateFileA(Staged("kd810ta.gpd").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                  nullptr));
    ASSERT_TRUE(locked.Valid());
    MessageRecorder messages;
    HWND owner = reinterpret_cast<HWND>(0x1234);
    EXPECT_EQ(StageDriverFiles(m_variant, owner), 0);

    std::string text, caption;
    LoadCatalogueText(256, text);
    LoadCatalogueText(251, caption);
    auto shown = messages.Messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, AnsiToUtf8(text));
    EXPECT_EQ(shown[0].caption, AnsiToUtf8(caption));
    EXPECT_EQ(shown[0].type, static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_EQ(shown[0].owner, owner);
    // The other files were still staged.
    EXPECT_EQ(ReadWholeFile(Staged("kd820.gpd")), ReadWholeFile(Source("kd820.gpd")));
}

namespace {
BOOL WINAPI NoDriverDirectory(LPSTR, LPSTR, DWORD, LPBYTE, DWORD, LPDWORD)
{
    SetLastError(ERROR_INVALID_ENVIRONMENT);
    return FALSE;
}

// A driver directory that leaves no room for "\" and a file name.
BOOL WINAPI LongDriverDirectory(LPSTR, LPSTR, DWORD, LPBYTE buffer, DWORD size, LPDWORD needed)
{
    std::string path = "C:\\" + std::string(size - 4, 'd');
    memcpy(buffer, path.c_str(), path.size() + 1);
    *needed = static_cast<DWORD>(path.size() + 1);
    return TRUE;
}
}  // namespace

TEST_F(Staging, MissingDriverDirectoryShowsMessageAndReports20)
{
    ScopedOp<decltype(EngineOps::GetPrinterDriverDirectoryA)> op(g_ops.GetPrinterDriverDirectoryA,
                                                                  NoDriverDirectory);
    MessageRecorder messages;
    ScopedProgressWindow progress;
    EXPECT_EQ(StageDriverFiles(m_variant, progress.Window()), 0);
    std::string text;
    LoadCatalogueText(252, text);
    auto shown = messages.Messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, AnsiToUtf8(text));
    EXPECT_EQ(shown[0].type, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(shown[0].owner, nullptr);
    EXPECT_EQ(progress.Percent(), 20);
    EXPECT_FALSE(FileExists(Staged("Kdxres.dll")));
}

TEST_F(Staging, PathsThatWouldNotFitAreRefused)
{
    {
        ScopedOp<decltype(EngineOps::GetPrinterDriverDirectoryA)> op(g_ops.GetPrinterDriverDirectoryA,
                                                                      LongDriverDirectory);
        MessageRecorder messages;
        EXPECT_EQ(StageDriverFiles(m_variant, nullptr), 0);
    }
    // An install folder so deep that the driver folder's search pattern
    // passes the path limit, although the folder itself exists.
    std::string deep = m_folder.Path();
    while (deep.size() < 200) {
        deep = JoinPath(deep, "deeper");
        ASSERT_TRUE(CreateDirectoryA(deep.c_str(), nullptr));
    }
    deep = JoinPath(deep, std::string(241 - deep.size() - 1, 'd'));
    ASSERT_TRUE(CreateDirectoryA(deep.c_str(), nullptr));
    std::string variantFolder = JoinPath(deep, FolderOfVariant(1));
    ASSERT_TRUE(CreateDirectoryA(variantFolder.c_str(), nullptr)) << GetLastError();
    ASSERT_GE(variantFolder.size() + 4, static_cast<size_t>(MAX_PATH));
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof previous, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(deep.c_str()));
    MessageRecorder messages;
    EXPECT_EQ(StageDriverFiles(1, nullptr), 0);
    SetCurrentDirectoryA(previous);
}

TEST_F(Staging, BrokenInfShowsItsMessageAndFails)
{
    ASSERT_TRUE(WriteWholeFile(Source(InfName()), "this is no INF file\r\n"));
    MessageRecorder messages;
    SetLastError(0);
    EXPECT_EQ(StageDriverFiles(m_variant, nullptr), 0);
    DWORD error = GetLastError();
    std::string text;
    LoadCatalogueText(262, text);
    auto shown = messages.Messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, AnsiToUtf8(text));
    EXPECT_EQ(shown[0].type, static_cast<UINT>(MB_ICONERROR));
    // Wine's SetupAPI reports a file without [Version] as 0xE0000000.
    EXPECT_EQ(error, 0xE0000000u);
}

TEST(CopyDriverFolder, FailsWhenAnyFileFailsOrTheFolderIsMissing)
{
    ScopedInstallFolder folder("korva-copy-folder");
    std::string from = JoinPath(folder.Path(), "from"), to = JoinPath(folder.Path(), "to");
    CreateDirectoryA(from.c_str(), nullptr);
    CreateDirectoryA(to.c_str(), nullptr);
    MessageRecorder messages;

    EXPECT_EQ(CopyDriverFolder(nullptr, (JoinPath(folder.Path(), "missing") + "\\").c_str(), (to + "\\").c_str()), 0);
    EXPECT_NE(CopyDriverFolder(nullptr, (from + "\\").c_str(), (to + "\\").c_str()), 0) << "empty folder";

    for (const char* name : {"a.gpd", "b.gpd", "c.gpd", "d.gpd"})
        WriteWholeFile(JoinPath(from, name), name);
    WriteWholeFile(JoinPath(to, "b.gpd"), "locked and different");
    FileHandle locked(CreateFileA(JoinPath(to, "b.gpd").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(CopyDriverFolder(nullptr, (from + "\\").c_str(), (to + "\\").c_str()), 0);
    EXPECT_EQ(ReadWholeFile(JoinPath(to, "d.gpd")), "d.gpd");
    locked.Close();
    EXPECT_NE(CopyDriverFolder(nullptr, (from + "\\").c_str(), (to + "\\").c_str()), 0);
}

TEST(FilesIdentical, ComparesWholeContent)
{
    ScopedInstallFolder folder("korva-identical");
    auto path = [&](const char* name) { return JoinPath(folder.Path(), name); };
    std::string big(200000, 'x');
    std::string bigOther = big;
    bigOther.back() = 'y';
    WriteWholeFile(path("big1"), big);
    WriteWholeFile(path("big2"), big);
    WriteWholeFile(path("big3"), bigOther);
    WriteWholeFile(path("short"), "abc");
    WriteWholeFile(path("short2"), "abd");
    WriteWholeFile(path("longer"), "abcd");
    WriteWholeFile(path("empty1"), "");
    WriteWholeFile(path("empty2"), "");
    struct Case {
        const char* a;
        const char* b;
        int identical;
    } cases[] = {
        {"big1", "big2", 1},  {"big1", "big3", 0},     {"short", "short2", 0}, {"short", "longer", 0},
        {"empty1", "empty2", 1}, {"short", "missing", 0}, {"missing", "short", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " vs " + c.b);
        EXPECT_EQ(FilesIdentical(path(c.a).c_str(), path(c.b).c_str()), c.identical);
    }
}
