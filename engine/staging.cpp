#include "engine/staging.h"

#include "engine/catalogue.h"
#include "engine/catalogue_ids.h"
#include "engine/handles.h"
#include "engine/message_box.h"
#include "engine/ops.h"
#include "engine/os_variant.h"
#include "engine/path_buffer.h"
#include "engine/progress.h"

#include <setupapi.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

// Shared system files and the INF itself are copied only when absent. A file
// counts as listed when its name occurs anywhere in the lower-cased list.
bool IsListedFile(const std::string& lowerName)
{
    std::string list;
    LoadCatalogueText(CAT_PROTECTED_FILES, list);
    std::string inf;
    LoadCatalogueText(CAT_INF_FILE, inf);
    list += inf;
    return FindText(LowerText(list), lowerName) != std::string::npos;
}

bool IsReadOnlyMarker(const std::string& lowerName)
{
    std::string marker;
    LoadCatalogueText(CAT_DRIVER_FILE, marker);
    return lowerName == LowerText(marker);
}

void AddReadOnly(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesA(path, attributes | FILE_ATTRIBUTE_READONLY);
}

void ClearReadOnly(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesA(path, attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
}

bool ReadBlock(HANDLE file, char* buffer, DWORD size, DWORD& got)
{
    got = 0;
    while (got < size) {
        DWORD n = 0;
        if (!ReadFile(file, buffer + got, size - got, &n, nullptr))
            return false;
        if (n == 0)
            break;
        got += n;
    }
    return true;
}

}  // namespace

unsigned DriverFolderEntry(int variant)
{
    switch (variant) {
    case 0: return CAT_FOLDER_WIN9X;
    case 2: return CAT_FOLDER_64;
    case 3: return CAT_FOLDER_NT6_X86;
    case 4: return CAT_FOLDER_64;
    default: return CAT_FOLDER_NT5_X86;
    }
}

bool QueryDriverDirectory(char (&directory)[kStagingPathSize])
{
    std::memset(directory, 0, sizeof directory);
    CatalogueString x64 = LoadCatalogueString(CAT_ENVIRONMENT_X64);
    const char* environment = ChooseDriverEnvironment(RunningUnderWow64(), x64.data());
    DWORD needed = 0;
    if (!g_ops.GetPrinterDriverDirectoryA(nullptr, const_cast<char*>(environment), 1,
                                          reinterpret_cast<LPBYTE>(directory), sizeof directory,
                                          &needed))
        return false;
    // A reply that fills the whole buffer has no room for the file names.
    directory[kStagingPathSize - 1] = '\0';
    return true;
}

int FilesIdentical(const char* destinationPath, const char* sourcePath)
{
    FileHandle destination(CreateFileA(destinationPath, GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!destination.Valid())
        return 0;
    FileHandle source(CreateFileA(sourcePath, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!source.Valid())
        return 0;
    LARGE_INTEGER destinationSize = {}, sourceSize = {};
    if (!GetFileSizeEx(destination.Get(), &destinationSize) ||
        !GetFileSizeEx(source.Get(), &sourceSize) ||
        destinationSize.QuadPart != sourceSize.QuadPart)
        return 0;

    // Compared block by block: memory use stays fixed whatever the file size.
    constexpr DWORD kBlock = 64 * 1024;
    std::unique_ptr<char[]> a(new char[kBlock]);
    std::unique_ptr<char[]> b(new char[kBlock]);
    for (;;) {
        DWORD gotA = 0, gotB = 0;
        if (!ReadBlock(destination.Get(), a.get(), kBlock, gotA) ||
            !ReadBlock(source.Get(), b.get(), kBlock, gotB))
            return 0;
        if (gotA != gotB || std::memcmp(a.get(), b.get(), gotA) != 0)
            return 0;
        if (gotA < kBlock)
            return 1;
    }
}

int CopyDriverFile(const char* destinationPath, const char* sourcePath, HWND owner)
{
    if (int copied = CopyFileA(sourcePath, destinationPath, TRUE))
        return copied;
    if (FilesIdentical(destinationPath, sourcePath))
        return 1;
    if (int copied = CopyFileA(sourcePath, destinationPath, FALSE))
        return copied;
    DWORD error = GetLastError();
    if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION)
        return 0;
    ClearReadOnly(destinationPath);
    if (int copied = CopyFileA(sourcePath, destinationPath, FALSE))
        return copied;
    // Shown only when the catalogue lacks its own text for this message.
    std::string fallback = std::string("Copy File ") + sourcePath + " To " + destinationPath + " Fail! ";
    ShowCatalogueMessage(owner, CAT_MSG_FILE_IN_USE, MB_ICONINFORMATION, fallback);
    return 0;
}

int CopyDriverFolder(HWND owner, const char* sourceFolder, const char* destinationFolder)
{
    PathBuffer<kFolderPathSize> pattern(sourceFolder);
    if (!pattern.Append("*.*"))
        return 0;
    WIN32_FIND_DATAA entry = {};
    FindHandle find(FindFirstFileA(pattern.c_str(), &entry));
    if (!find.Valid())
        return 0;

    int result = 1;
    do {
        const char* name = entry.cFileName;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            // Sub-folders are flattened into the same destination.
            PathBuffer<kFolderPathSize> subFolder(sourceFolder);
            if (!subFolder.Append(name) || !subFolder.Append("\\") ||
                !CopyDriverFolder(owner, subFolder.c_str(), destinationFolder))
                result = 0;
            continue;
        }
        std::string sourcePath = std::string(sourceFolder) + name;
        std::string destinationPath = std::string(destinationFolder) + name;
        std::string lowerName = LowerText(name);
        if (IsListedFile(lowerName)) {
            // Never replaced: the system's copy (or an earlier install's) wins.
            CopyFileA(sourcePath.c_str(), destinationPath.c_str(), TRUE);
            if (IsReadOnlyMarker(lowerName))
                AddReadOnly(destinationPath.c_str());
        } else if (!CopyDriverFile(destinationPath.c_str(), sourcePath.c_str(), owner)) {
            result = 0;
        }
    } while (FindNextFileA(find.Get(), &entry));
    return result;
}

int StageDriverFiles(int variant, HWND owner)
{
    char driverDirectory[kStagingPathSize];
    if (!QueryDriverDirectory(driverDirectory)) {
        ShowCatalogueMessage(nullptr, CAT_MSG_NO_DRIVER_DIR, MB_ICONERROR);
        ReportProgress(20);
        return 0;
    }

    CatalogueString subFolder = LoadCatalogueString(DriverFolderEntry(variant));
    DWORD size = GetCurrentDirectoryA(0, nullptr);
    if (size == 0)
        return 0;
    std::unique_ptr<char[]> current(new char[size]());
    if (GetCurrentDirectoryA(size, current.get()) >= size)
        return 0;

    PathBuffer<kStagingPathSize> sourceFolder(current.get());
    sourceFolder.Append(subFolder.data());
    PathBuffer<kStagingPathSize> destinationFolder(driverDirectory);
    destinationFolder.Append("\\");
    if (!sourceFolder.Ok() || !destinationFolder.Ok())
        return 0;

    if (!CopyDriverFolder(owner, sourceFolder.c_str(), destinationFolder.c_str()))
        return 0;

    CatalogueString infName = LoadCatalogueString(CAT_INF_FILE);
    PathBuffer<kStagingPathSize> infPath(sourceFolder.c_str());
    if (!infPath.Append(infName.data()))
        return 0;
    if (!g_ops.SetupCopyOEMInfA(infPath.c_str(), sourceFolder.c_str(), SPOST_PATH, 0, nullptr,
                                0, nullptr, nullptr)) {
        DWORD error = GetLastError();
        ShowCatalogueMessage(nullptr, CAT_MSG_INF_FAILED, MB_ICONERROR);
        // The install sequence tells an unparsable INF by this value.
        SetLastError(error);
        return 0;
    }

    CatalogueString extraName = LoadCatalogueString(CAT_SYSTEM_EXTRA);
    PathBuffer<kStagingPathSize> extraSource(sourceFolder.c_str());
    char windowsDirectory[kStagingPathSize] = {};
    UINT len = GetWindowsDirectoryA(windowsDirectory, sizeof windowsDirectory);
    if (len == 0 || len >= sizeof windowsDirectory)
        return 0;
    PathBuffer<kStagingPathSize> extraDestination(windowsDirectory);
    extraDestination.Append("\\system32\\");
    extraDestination.Append(extraName.data());
    if (!extraSource.Append(extraName.data()) || !extraDestination.Ok())
        return 0;
    // Only when absent: an elevated install must not replace a system DLL
    // with whatever lies in the install folder. The outcome does not matter.
    CopyFileA(extraSource.c_str(), extraDestination.c_str(), TRUE);

    ReportProgress(20);
    return 1;
}
