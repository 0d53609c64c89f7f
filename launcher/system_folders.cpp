#include "launcher/system_folders.h"

#include <windows.h>

namespace {

// Asks for the length first, so no path is ever cut short.
template <typename Query>
std::string QueryFolder(Query query)
{
    UINT needed = query(nullptr, 0);
    if (needed == 0)
        return std::string();
    std::string folder(needed, '\0');
    UINT got = query(folder.data(), needed);
    if (got == 0 || got >= needed)
        return std::string();
    folder.resize(got);
    return folder;
}

}  // namespace

std::string SystemFolder()
{
    return QueryFolder([](char* buffer, UINT size) { return ::GetSystemDirectoryA(buffer, size); });
}

std::string WindowsFolder()
{
    return QueryFolder([](char* buffer, UINT size) { return ::GetWindowsDirectoryA(buffer, size); });
}

std::string CurrentFolder()
{
    return QueryFolder([](char* buffer, UINT size) {
        return static_cast<UINT>(::GetCurrentDirectoryA(size, buffer));
    });
}

std::string JoinFolder(const std::string& folder, const std::string& name)
{
    // The last character, not the last byte: a double-byte character may end in 0x5C.
    const char* last = ::CharPrevA(folder.c_str(), folder.c_str() + folder.size());
    if (!folder.empty() && *last == '\\' && last + 1 == folder.c_str() + folder.size())
        return folder + name;
    return folder + "\\" + name;
}
