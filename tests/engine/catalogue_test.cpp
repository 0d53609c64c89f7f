#include "engine/catalogue.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace {

struct Entry {
    unsigned id;
    const char* english;
    const char* chinese;  // nullptr: same as English
};

const Entry kEntries[] = {
    {1, "{4d36e979-e325-11ce-bfc1-08002be10318}", nullptr},
    {2, "KORVA", nullptr},
    {3, "PJL Language Monitor", nullptr},
    {5, "winprint", nullptr},
    {6, "printer", nullptr},
    {8, "RAW", nullptr},
    {9, "EMF", nullptr},
    {20, "\\Vista & Win7\\", nullptr},
    {21, "\\Win2K & XP & 2003\\", nullptr},
    {22, "\\Win98 & ME\\", nullptr},
    {23, "\\Win7_XP64\\", nullptr},
    {24, "Windows NT x86", nullptr},
    {25, "Windows 4.0", nullptr},
    {26, "Windows x64", nullptr},
    {40, "KORVA Impact Printer Driver", "岚鹊微型打印机驱动程序"},
    {41, "V5.0", nullptr},
    {42, "ReadMe", "安 装 说 明"},
    {43, "Driver", "驱 动 程 序"},
    {44, "Cancel", "退      出"},
    {45, "Readme.txt", nullptr},
    {46, "agreement.txt", nullptr},
    {47, "KORVA Impact Printer Driver Setup Wizard", "岚鹊微型打印机驱动程序安装向导"},
    {48, "Welcome to use KORVA Impact Printer driver setup wizard", "欢迎使用岚鹊微型打印机驱动程序安装向导"},
    {49, "<Back", "<上一步"},
    {50, "Next>", "下一步>"},
    {51, "Cancel", "取消"},
    {52, "Accept", "接受"},
    {53, "Decline", "不接受"},
    {54, "https://korva.example/", "https://cn.korva.example/"},
    {55, "About Setup...", "关于安装程序..."},
    {100, "KD810STD.inf", "kdprn.inf"},
    {101, "UNIDRV.DLL", nullptr},
    {102, "KORVA KD-900II:kd900ii.gpd;KORVA KD-900Pro:kd900pro.gpd;",
     "岚鹊KD-810 标准版:kd810.gpd;岚鹊KD-810 票据A版:kd810ta.gpd;岚鹊KD-810 票据B版:kd810tb.gpd;"
     "岚鹊KD-810 保单A版:kd810la.gpd;岚鹊KD-820 标准版:kd820.gpd;岚鹊KD-820 票据A版:kd820ta.gpd;"
     "岚鹊KD-820 票据B版:kd820tb.gpd;"},
    {103, "UNIDRVUI.DLL", nullptr},
    {104, "Iconlib.dll", nullptr},
    {105, "UNIDRV.HLP", nullptr},
    {106, "KORVA KD-900II:kd900ii.drv;KORVA KD-900Pro:kd900pro.drv;",
     "岚鹊KD-810 标准版:kd810.drv;岚鹊KD-810 票据A版:kd810ta.drv;岚鹊KD-810 票据B版:kd810tb.drv;"
     "岚鹊KD-810 保单A版:kd810la.drv;岚鹊KD-820 标准版:kd820.drv;岚鹊KD-820 票据A版:kd820ta.drv;"
     "岚鹊KD-820 票据B版:kd820tb.drv;"},
    {107, "srclient.dll", nullptr},
    {108, "Kdxres.dll", nullptr},
    {109, "STDNAMES.GPD", nullptr},
    {110, "UNIRES.DLL", nullptr},
    {111, "STDDTYPE.GDL", nullptr},
    {112, "STDSCHEM.GDL", nullptr},
    {113, "STDSCHMX.GDL", nullptr},
    {150, "Times New Roman", "黑体"},
    {200, " (Copy %d)", " (副本 %d)"},
    {210, "KORVA KD-900II;KORVA KD-900Pro;",
     "岚鹊KD-810 标准版;岚鹊KD-810 票据A版;岚鹊KD-810 票据B版;岚鹊KD-810 保单A版;岚鹊KD-820 标准版;"
     "岚鹊KD-820 票据A版;岚鹊KD-820 票据B版;"},
    {211, "KD810STD.drv;Unidrv.dll;Iconlib.dll;", nullptr},
    {212, "Kdxres.dll;STDNAMES.GPD;UNIRES.DLL;", nullptr},
    {213, "Kdxres.dll;STDNAMES.GPD;UNIRES.DLL;STDDTYPE.GDL;STDSCHEM.GDL;STDSCHMX.GDL;", nullptr},
    {251, "INFO", "安装提示"},
    {252, "Can't find the current Path!", "无法找到当前打印机驱动安装路径!"},
    {253, "Copy printer driver files To system Fail!", "拷贝打印机驱动文件到系统目录失败!"},
    {254, "Add printer to system fail!", "添加打印机到系统失败!"},
    {256, "Files access denied! Please exit running applications and reinstall!",
     "系统文件正在被使用中！请退出应用程序并重新启动操作系统后，再次运行安装程序!"},
    {257, "Please select the printer model and port before setup go on!",
     "请选择要安装的打印机和端口，否则无法正确安装！"},
    {258, "EnumPort fail!", "枚举当前设备端口失败!"},
    {259, "Can't find the deviceport list!", "无法查找当前设备端口列表!"},
    {262, "Copy inf to sysinfdir fail! ", "拷贝安装配置文件失败!"},
    {263, " Setup Complete!", "驱动程序安装完毕!"},
    {264, " Setup Fail!", "驱动程序安装失败!"},
    {300, "UNIDRV.DLL;UNIDRVUI.DLL;UNIDRV.HLP;UNIRES.DLL;Iconlib.dll;srclient.dll;STDNAMES.GPD;"
          "STDDTYPE.GDL;STDSCHEM.GDL;STDSCHMX.GDL;",
     nullptr},
};

std::string Expected(const Entry& e)
{
    return CatalogueIsChinese() && e.chinese ? e.chinese : e.english;
}

}  // namespace

// The test runner states which table each run must see; a locale that
// silently fell back to English would otherwise pass twice.
TEST(Catalogue, TableInForceMatchesTheRunsLanguage)
{
    const char* expect = std::getenv("KORVA_EXPECT_CATALOGUE");
    ASSERT_NE(expect, nullptr) << "the test runner sets KORVA_EXPECT_CATALOGUE";
    EXPECT_EQ(CatalogueIsChinese(), std::string(expect) == "zh");
    EXPECT_EQ(GetACP(), CatalogueIsChinese() ? 936u : 1252u);
}

TEST(Catalogue, EveryEntryReadsBackExactlyThroughBothLoaders)
{
    for (const Entry& e : kEntries) {
        SCOPED_TRACE(e.id);
        std::string text;
        LoadCatalogueText(e.id, text);
        EXPECT_EQ(AnsiToUtf8(text), Expected(e));

        CatalogueString fixed = LoadCatalogueString(e.id);
        EXPECT_EQ(AnsiToUtf8(fixed.data()), Expected(e));
        size_t len = std::strlen(fixed.data());
        for (size_t i = len; i < fixed.size(); ++i)
            ASSERT_EQ(fixed[i], '\0') << "byte " << i << " after the text";
    }
}

TEST(Catalogue, MissingEntryIsEmptyAndLeavesTheTextAlone)
{
    CatalogueString fixed = LoadCatalogueString(4);
    for (char c : fixed)
        ASSERT_EQ(c, '\0');
    std::string text = "unchanged";
    LoadCatalogueText(4, text);
    EXPECT_EQ(text, "unchanged");
    LoadCatalogueText(999, text);
    EXPECT_EQ(text, "unchanged");
}

TEST(Catalogue, FixedLoaderCutsAt259Bytes)
{
    std::string full259(258, 'a');
    full259 += 'b';
    EXPECT_EQ(std::string(LoadCatalogueString(9001).data()), full259);
    // The 260-byte entry loses its last byte, the 'c'.
    EXPECT_EQ(std::string(LoadCatalogueString(9002).data()), full259);
    std::string text;
    LoadCatalogueText(9002, text);
    EXPECT_EQ(text, full259 + "c");
}

TEST(Catalogue, SplitItemList)
{
    struct Case {
        const char* list;
        std::vector<std::string> items;
    } cases[] = {
        {"KD810STD.drv;Unidrv.dll;Iconlib.dll;", {"KD810STD.drv", "Unidrv.dll", "Iconlib.dll"}},
        {"a;b;c", {"a", "b"}},  // the last item lacks its ';'
        {"no separator", {}},
        {"", {}},
        {"a;;b;", {"a", "", "b"}},
        {";", {""}},
        {" spaced ; item ;", {" spaced ", " item "}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list);
        EXPECT_EQ(SplitItemList(c.list), c.items);
    }
}

TEST(Catalogue, ModelListsSplitIntoTheDisplayNames)
{
    std::string models;
    LoadCatalogueText(210, models);
    std::vector<std::string> items = SplitItemList(models);
    std::vector<std::string> utf8;
    for (const std::string& item : items)
        utf8.push_back(AnsiToUtf8(item));
    if (CatalogueIsChinese()) {
        EXPECT_EQ(utf8, (std::vector<std::string>{"岚鹊KD-810 标准版", "岚鹊KD-810 票据A版", "岚鹊KD-810 票据B版",
                                                  "岚鹊KD-810 保单A版", "岚鹊KD-820 标准版", "岚鹊KD-820 票据A版",
                                                  "岚鹊KD-820 票据B版"}));
    } else {
        EXPECT_EQ(utf8, (std::vector<std::string>{"KORVA KD-900II", "KORVA KD-900Pro"}));
    }
}

TEST(Catalogue, LookupPairFile)
{
    struct Case {
        const char* list;
        const char* name;
        const char* file;
    } cases[] = {
        {"A:a.gpd;B:b.gpd;", "B", "b.gpd"},
        {"A:a.gpd;B:b.gpd;", "A", "a.gpd"},
        {"A:a.gpd;B:b.gpd;", "Z", "A:a.gpd"},        // unknown name: text up to the first ';'
        {"A:a.gpd", "A", ""},                         // no ';' after the start
        {"no pairs at all", "Z", ""},
        {"X1:one.gpd;X:x.gpd;", "X", "one.gpd"},      // the first pair containing the name wins
        {"A:b.gpd;B:c.gpd;", "b.g", "c.gpd"},         // a match inside a file name takes the next ':'
        {"KORVA KD-900II:kd900ii.gpd;KORVA KD-900Pro:kd900pro.gpd;", "KORVA KD-900Pro", "kd900pro.gpd"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.list) + " / " + c.name);
        EXPECT_EQ(LookupPairFile(c.list, c.name), c.file);
    }
}

TEST(Catalogue, ShippedPairListsNameEachModelsFiles)
{
    std::string models, dataFiles, driverFiles;
    LoadCatalogueText(210, models);
    LoadCatalogueText(102, dataFiles);
    LoadCatalogueText(106, driverFiles);
    for (const std::string& model : SplitItemList(models)) {
        SCOPED_TRACE(AnsiToUtf8(model));
        std::string gpd = LookupPairFile(dataFiles, model);
        std::string drv = LookupPairFile(driverFiles, model);
        ASSERT_GT(gpd.size(), 4u);
        EXPECT_EQ(gpd.substr(gpd.size() - 4), ".gpd");
        EXPECT_EQ(drv, gpd.substr(0, gpd.size() - 4) + ".drv");
    }
    if (CatalogueIsChinese()) {
        EXPECT_EQ(LookupPairFile(dataFiles, Utf8ToAnsi("岚鹊KD-820 票据B版")), "kd820tb.gpd");
        EXPECT_EQ(AnsiToUtf8(LookupPairFile(dataFiles, "nowhere")), "岚鹊KD-810 标准版:kd810.gpd");
    }
}

// In code page 936, "标准" is B1EA D7BC; the bytes EA D7 across its middle also
// form a valid character, which a byte-wise search would wrongly find there.
TEST(Catalogue, SearchComparesWholeDoubleByteCharacters)
{
    if (GetACP() != 936)
        GTEST_SKIP() << "needs the Chinese code page; the zh run covers it";
    const std::string text = "\xB1\xEA\xD7\xBC:x.gpd;";
    EXPECT_EQ(FindText(text, "\xEA\xD7"), std::string::npos);
    EXPECT_EQ(FindText(text, "\xD7\xBC"), 2u);
    EXPECT_EQ(LookupPairFile(text, "\xEA\xD7"), "\xB1\xEA\xD7\xBC:x.gpd");
    // Lower-casing leaves trail bytes in the A-Z range alone.
    EXPECT_EQ(LowerText("\xB0\x41X"), "\xB0\x41x");
}
