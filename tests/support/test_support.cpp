#include "support/test_support.h"

#include "engine/staging.h"

#include <algorithm>
#include <mutex>

namespace {

std::mutex g_messagesLock;
std::vector<ShownMessage> g_messages;

int WINAPI RecordMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    std::lock_guard<std::mutex> lock(g_messagesLock);
    g_messages.push_back({owner, AnsiToUtf8(text ? text : ""), AnsiToUtf8(caption ? caption : ""), type});
    return IDOK;
}

std::string Convert(const std::string& text, UINT from, UINT to)
{
    if (text.empty())
        return text;
    int wlen = MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(wlen), L'\0');
    MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), wide.data(), wlen);
    int len = WideCharToMultiByte(to, 0, wide.data(), wlen, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(len), '\0');
    WideCharToMultiByte(to, 0, wide.data(), wlen, out.data(), len, nullptr, nullptr);
    return out;
}

}  // namespace

MessageRecorder::MessageRecorder() : m_op(g_ops.MessageBoxA, RecordMessageBox)
{
    std::lock_guard<std::mutex> lock(g_messagesLock);
    g_messages.clear();
}

MessageRecorder::~MessageRecorder() = default;

std::vector<ShownMessage> MessageRecorder::Messages() const
{
    std::lock_guard<std::mutex> lock(g_messagesLock);
    return g_messages;
}

std::string AnsiToUtf8(const std::string& ansi) { return Convert(ansi, CP_THREAD_ACP, CP_UTF8); }
std::string Utf8ToAnsi(const std::string& utf8) { return Convert(utf8, CP_UTF8, CP_THREAD_ACP); }

bool CatalogueIsChinese() { return PRIMARYLANGID(LANGIDFROMLCID(GetThreadLocale())) == LANG_CHINESE; }

std::string SampleFolder()
{
    std::string path = "Z:" KORVA_SAMPLE_DIR;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && folder.back() == '\\')
        return folder + name;
    return folder + "\\" + name;
}

bool CopyTree(const std::string& from, const std::string& to)
{
    CreateDirectoryA(to.c_str(), nullptr);
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA(JoinPath(from, "*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    bool ok = true;
    do {
        std::string name = entry.cFileName;
        if (name == "." || name == "..")
            continue;
        std::string source = JoinPath(from, name), target = JoinPath(to, name);
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ok = CopyTree(source, target) && ok;
        else
            ok = CopyFileA(source.c_str(), target.c_str(), FALSE) && ok;
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return ok;
}

void DeleteTree(const std::string& path)
{
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA(JoinPath(path, "*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string child = JoinPath(path, name);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                DeleteTree(child);
            } else {
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryA(path.c_str());
}

std::string ReadWholeFile(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::string();
    std::string data;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        data.append(buffer, got);
    CloseHandle(file);
    return data;
}

bool WriteWholeFile(const std::string& path, const std::string& data)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr) &&
              written == data.size();
    CloseHandle(file);
    return ok;
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

ScopedInstallFolder::ScopedInstallFolder(const std::string& leafName)
{
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    m_path = JoinPath(temp, leafName);
    DeleteTree(m_path);
    CopyTree(SampleFolder(), m_path);
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof current, current);
    m_previous = current;
    SetCurrentDirectoryA(m_path.c_str());
}

ScopedInstallFolder::~ScopedInstallFolder()
{
    SetCurrentDirectoryA(m_previous.c_str());
    DeleteTree(m_path);
}

std::string SpoolerDriverDirectory()
{
    char directory[kStagingPathSize];
    if (!QueryDriverDirectory(directory))
        return std::string();
    return directory;
}

void ClearDriverDirectory()
{
    std::string directory = SpoolerDriverDirectory();
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA(JoinPath(directory, "*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        std::string path = JoinPath(directory, entry.cFileName);
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    } while (FindNextFileA(find, &entry));
    FindClose(find);
}
