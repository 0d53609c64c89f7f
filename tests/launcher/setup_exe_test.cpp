#include "launcher_harness.h"

#include "res/resource.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <set>

namespace {

std::wstring WideFromAnsi(const std::string& text)
{
    int len = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(len), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), len);
    wide.resize(static_cast<size_t>(len) - 1);
    return wide;
}

std::string WindowsPath(const char* unixPath)
{
    std::string path = std::string("Z:") + unixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

struct Build {
    const char* name;
    std::string exe;
    WORD machine;
    const char* manifestArch;
};

std::vector<Build> Builds()
{
    return {
        {"x86_64", WindowsPath(KORVA_SETUP_EXE), IMAGE_FILE_MACHINE_AMD64, "amd64"},
        {"i686", WindowsPath(KORVA_SETUP_EXE_I686), IMAGE_FILE_MACHINE_I386, "x86"},
    };
}

// The parts of a PE image the tests look at, read from the file itself so
// that the 32-bit program can be read too.
struct PeFile {
    std::string data;
    WORD machine = 0;
    std::vector<std::string> imports;  // lower case

    explicit PeFile(const std::string& path) : data(ReadWholeFile(path)) { Parse(); }

private:
    template <typename T>
    T Read(size_t offset) const
    {
        T value{};
        if (offset + sizeof(T) <= data.size())
            std::memcpy(&value, data.data() + offset, sizeof(T));
        return value;
    }
    size_t FileOffset(DWORD rva, size_t sections, WORD count) const
    {
        for (WORD i = 0; i < count; ++i) {
            auto s = Read<IMAGE_SECTION_HEADER>(sections + i * sizeof(IMAGE_SECTION_HEADER));
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + std::max(s.Misc.VirtualSize, s.SizeOfRawData))
                return rva - s.VirtualAddress + s.PointerToRawData;
        }
        return 0;
    }
    void Parse()
    {
        size_t pe = Read<DWORD>(0x3C);
        if (Read<DWORD>(pe) != IMAGE_NT_SIGNATURE)
            return;
        auto file = Read<IMAGE_FILE_HEADER>(pe + 4);
        machine = file.Machine;
        size_t optional = pe + 4 + sizeof(IMAGE_FILE_HEADER);
        size_t sections = optional + file.SizeOfOptionalHeader;
        // The data directories sit at the end of the optional header in both formats.
        size_t directories = optional + (Read<WORD>(optional) == IMAGE_NT_OPTIONAL_HDR64_MAGIC ? 112 : 96);
        auto importDir = Read<IMAGE_DATA_DIRECTORY>(directories + IMAGE_DIRECTORY_ENTRY_IMPORT * 8);
        size_t at = FileOffset(importDir.VirtualAddress, sections, file.NumberOfSections);
        for (; at && Read<IMAGE_IMPORT_DESCRIPTOR>(at).Name; at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
            size_t name = FileOffset(Read<IMAGE_IMPORT_DESCRIPTOR>(at).Name, sections, file.NumberOfSections);
            std::string dll(data.c_str() + name);
            std::transform(dll.begin(), dll.end(), dll.begin(), [](char c) { return static_cast<char>(tolower(c)); });
            imports.push_back(dll);
        }
    }
};

class ResourceModule {
public:
    explicit ResourceModule(const std::string& path)
        : m_module(::LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE))
    {
    }
    ~ResourceModule()
    {
        if (m_module)
            ::FreeLibrary(m_module);
    }
    HMODULE Get() const { return m_module; }

    // The resource's bytes in exactly this language; empty when absent.
    std::string Find(LPCWSTR type, WORD id, WORD language) const
    {
        HRSRC found = ::FindResourceExW(m_module, type, MAKEINTRESOURCEW(id), language);
        if (!found)
            return std::string();
        const char* bytes = static_cast<const char*>(::LockResource(::LoadResource(m_module, found)));
        return std::string(bytes, ::SizeofResource(m_module, found));
    }
    std::set<WORD> Languages(LPCWSTR type, WORD id) const
    {
        std::set<WORD> languages;
        ::EnumResourceLanguagesW(
            m_module, type, MAKEINTRESOURCEW(id),
            [](HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR found) -> BOOL {
                reinterpret_cast<std::set<WORD>*>(found)->insert(language);
                return TRUE;
            },
            reinterpret_cast<LONG_PTR>(&languages));
        return languages;
    }
    size_t CountOfType(LPCWSTR type) const
    {
        size_t count = 0;
        ::EnumResourceNamesW(
            m_module, type,
            [](HMODULE, LPCWSTR, LPWSTR, LONG_PTR counter) -> BOOL {
                ++*reinterpret_cast<size_t*>(counter);
                return TRUE;
            },
            reinterpret_cast<LONG_PTR>(&count));
        return count;
    }

private:
    HMODULE m_module;
};

constexpr WORD kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
constexpr WORD kChinese = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
constexpr WORD kNeutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);

std::wstring VersionString(const std::vector<char>& block, const wchar_t* language, const wchar_t* key)
{
    std::wstring query = std::wstring(L"\\StringFileInfo\\") + language + L"\\" + key;
    wchar_t* value = nullptr;
    UINT len = 0;
    if (!::VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &len) || !value)
        return L"<missing>";
    return std::wstring(value, len && value[len - 1] == 0 ? len - 1 : len);
}

std::string Utf8(const std::wstring& wide)
{
    int len = ::WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(len), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), out.data(), len, nullptr, nullptr);
    return out;
}

}  // namespace

TEST(SetupExeImage, ManifestMatchesTheProcessorOfEachBuild)
{
    for (const Build& build : Builds()) {
        SCOPED_TRACE(build.name);
        ASSERT_TRUE(FileExists(build.exe)) << build.exe << " (tools/test.sh builds both)";
        PeFile pe(build.exe);
        EXPECT_EQ(pe.machine, build.machine);
        ResourceModule module(build.exe);
        ASSERT_NE(module.Get(), nullptr);
        EXPECT_EQ(module.CountOfType(MAKEINTRESOURCEW(24)), 1u) << "one manifest only";
        EXPECT_EQ(module.Languages(MAKEINTRESOURCEW(24), 1), std::set<WORD>{kEnglish});
        std::string manifest = module.Find(MAKEINTRESOURCEW(24), 1, kEnglish);
        for (std::string part : {std::string("processorArchitecture=\"") + build.manifestArch + "\"",
                                 std::string("name=\"Installer\""), std::string("version=\"1.0.0.0\""),
                                 std::string("type=\"win32\""),
                                 std::string("level=\"requireAdministrator\" uiAccess=\"false\""),
                                 std::string("{e2011457-1546-43c5-a5fe-008deee3d3f0}"),
                                 std::string("{35138b9a-5d96-4fbd-8e2d-a2440225f93a}")})
            EXPECT_NE(manifest.find(part), std::string::npos) << part;
        EXPECT_EQ(manifest.find("Common-Controls"), std::string::npos) << "classic controls";
    }
}

// An elevated program started from a download folder must not pull a
// planted DLL in through its import table: only DLLs the system always
// takes from its own directory are imported; the rest is bound at run time.
TEST(SetupExeImage, ImportsOnlyTheSystemsKnownDlls)
{
    const std::set<std::string> known = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "msvcrt.dll"};
    for (const Build& build : Builds()) {
        SCOPED_TRACE(build.name);
        PeFile pe(build.exe);
        ASSERT_FALSE(pe.imports.empty());
        for (const std::string& dll : pe.imports)
            EXPECT_TRUE(known.count(dll)) << dll;
    }
}

TEST(SetupExeImage, VersionBlockStringsDialogsIconsAndCursor)
{
    std::string exe = Builds()[0].exe;
    ResourceModule module(exe);
    ASSERT_NE(module.Get(), nullptr);

    DWORD handle = 0;
    std::vector<char> block(::GetFileVersionInfoSizeW(WideFromAnsi(exe).c_str(), &handle));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(::GetFileVersionInfoW(WideFromAnsi(exe).c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &len));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
    EXPECT_EQ(fixed->dwFileFlags, 0u);
    DWORD* translations = nullptr;
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations), &len));
    std::set<DWORD> pairs(translations, translations + len / sizeof(DWORD));
    EXPECT_EQ(pairs, (std::set<DWORD>{MAKELONG(kEnglish, 1200), MAKELONG(kChinese, 1200)}));
    struct {
        const wchar_t* block;
        const char* description;
        const char* product;
    } languages[] = {{L"040904b0", "KORVA Printer Driver Setup", "Setup"},
                     {L"080404b0", "岚鹊打印机驱动安装程序", "Setup 应用程序"}};
    for (const auto& l : languages) {
        SCOPED_TRACE(l.description);
        EXPECT_EQ(Utf8(VersionString(block, l.block, L"FileDescription")), l.description);
        EXPECT_EQ(Utf8(VersionString(block, l.block, L"ProductName")), l.product);
        EXPECT_EQ(Utf8(VersionString(block, l.block, L"InternalName")), "Setup");
        EXPECT_EQ(Utf8(VersionString(block, l.block, L"OriginalFilename")), "Setup.EXE");
        EXPECT_EQ(Utf8(VersionString(block, l.block, L"FileVersion")), "1, 0, 0, 1");
        EXPECT_EQ(Utf8(VersionString(block, l.block, L"ProductVersion")), "1, 0, 0, 1");
        for (const wchar_t* key : {L"CompanyName", L"LegalCopyright"}) {
            std::wstring value = VersionString(block, l.block, key);
            EXPECT_TRUE(!value.empty() && value != L"<missing>") << Utf8(key);
        }
    }

    // The catalogue in both languages; entries 54 and 55 share a block.
    for (WORD language : {kEnglish, kChinese})
        EXPECT_FALSE(module.Find(MAKEINTRESOURCEW(6), 55 / 16 + 1, language).empty()) << std::hex << language;
    // Launcher and About box: the Chinese variant only.
    for (WORD id : {WORD(IDD_SETUP), WORD(IDD_ABOUTBOX)})
        EXPECT_EQ(module.Languages(MAKEINTRESOURCEW(5), id), std::set<WORD>{kChinese}) << id;
    std::string launcher = module.Find(MAKEINTRESOURCEW(5), IDD_SETUP, kChinese);
    ASSERT_GE(launcher.size(), 16u);
    DWORD style = 0;
    std::memcpy(&style, launcher.data() + 12, sizeof style);  // DLGTEMPLATEEX.style
    EXPECT_EQ(style & (WS_POPUP | WS_SYSMENU | WS_CAPTION), static_cast<DWORD>(WS_POPUP | WS_SYSMENU));

    // Icons 128 and 151: one 32 x 32 image of 16 colours each.
    for (WORD id : {WORD(IDR_MAINFRAME), WORD(IDI_AGREEMENT)}) {
        SCOPED_TRACE(id);
        std::string group = module.Find(MAKEINTRESOURCEW(14), id, kNeutral);
        ASSERT_EQ(group.size(), 6u + 14u);
        const auto* entry = reinterpret_cast<const BYTE*>(group.data() + 6);
        EXPECT_EQ(entry[0], 32);
        EXPECT_EQ(entry[1], 32);
        EXPECT_EQ(entry[2], 16) << "colour count";
        EXPECT_EQ(entry[6], 4) << "bits per pixel";
    }
    // Cursor 138: monochrome 32 x 32 with its hot spot at the top-left corner.
    std::string group = module.Find(MAKEINTRESOURCEW(12), IDC_HAND_CURSOR, kNeutral);
    ASSERT_EQ(group.size(), 6u + 14u);
    WORD width, bits, imageId;
    std::memcpy(&width, group.data() + 6, 2);
    std::memcpy(&bits, group.data() + 6 + 6, 2);
    std::memcpy(&imageId, group.data() + 6 + 12, 2);
    EXPECT_EQ(width, 32);
    EXPECT_EQ(bits, 1);
    std::string image = module.Find(MAKEINTRESOURCEW(1), imageId, kNeutral);
    ASSERT_GE(image.size(), 4u + sizeof(BITMAPINFOHEADER));
    WORD hotspot[2];
    std::memcpy(hotspot, image.data(), sizeof hotspot);
    EXPECT_EQ(hotspot[0], 0);
    EXPECT_EQ(hotspot[1], 0);
    BITMAPINFOHEADER header;
    std::memcpy(&header, image.data() + 4, sizeof header);
    EXPECT_EQ(header.biWidth, 32);
    EXPECT_EQ(header.biHeight, 64) << "image and mask";
    EXPECT_EQ(header.biBitCount, 1);
}
