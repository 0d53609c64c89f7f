#include "engine/catalogue.h"

#include <cstring>

namespace {

// The entry as stored (UTF-16); empty when the table in force lacks it.
std::wstring LoadEntry(UINT id)
{
    const wchar_t* text = nullptr;
    // A zero buffer size asks for a pointer into the resource itself.
    int len = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (len <= 0 || !text)
        return std::wstring();
    return std::wstring(text, static_cast<size_t>(len));
}

std::string ToCodePage(const std::wstring& wide, UINT codePage)
{
    if (wide.empty())
        return std::string();
    int size = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()),
                                   nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return std::string();
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

// Length in bytes of the character that starts at text[i].
size_t CharLength(const std::string& text, size_t i)
{
    if (i + 1 < text.size() && IsDBCSLeadByte(static_cast<BYTE>(text[i])))
        return 2;
    return 1;
}

}  // namespace

CatalogueString LoadCatalogueString(UINT id)
{
    CatalogueString buffer{};
    std::string text = ToCodePage(LoadEntry(id), CP_ACP);
    size_t len = text.size() < kCatalogueStringSize - 1 ? text.size() : kCatalogueStringSize - 1;
    std::memcpy(buffer.data(), text.data(), len);
    return buffer;
}

void LoadCatalogueText(UINT id, std::string& text)
{
    std::string loaded = ToCodePage(LoadEntry(id), CP_THREAD_ACP);
    if (!loaded.empty())
        text = loaded;
}

size_t FindText(const std::string& text, const std::string& what, size_t start)
{
    if (what.empty())
        return start <= text.size() ? start : std::string::npos;
    // Walk character boundaries from the beginning so `start` inside a
    // double-byte character is handled the same way as the matches.
    for (size_t i = 0; i + what.size() <= text.size(); i += CharLength(text, i)) {
        if (i >= start && text.compare(i, what.size(), what) == 0)
            return i;
    }
    return std::string::npos;
}

std::string LowerText(const std::string& text)
{
    std::string out = text;
    for (size_t i = 0; i < out.size();) {
        size_t len = CharLength(out, i);
        if (len == 1 && out[i] >= 'A' && out[i] <= 'Z')
            out[i] = static_cast<char>(out[i] - 'A' + 'a');
        i += len;
    }
    return out;
}

std::vector<std::string> SplitItemList(const std::string& list)
{
    std::vector<std::string> items;
    size_t p = 0;
    while (p <= list.size()) {
        size_t end = FindText(list, ";", p);
        if (end == std::string::npos)
            break;
        items.push_back(list.substr(p, end - p));
        p = end + 1;
    }
    return items;
}

// The first occurrence of the display name anywhere in the list decides; the
// file name runs from the first ':' after it to the next ';'. Without a match
// (or without that ':') it runs from the start of the list; without a ';'
// after its start the result is empty.
std::string LookupPairFile(const std::string& list, const std::string& displayName)
{
    size_t start = 0;
    size_t found = FindText(list, displayName);
    if (found != std::string::npos) {
        size_t colon = FindText(list, ":", found);
        if (colon != std::string::npos)
            start = colon + 1;
    }
    size_t end = FindText(list, ";", start);
    if (end == std::string::npos)
        return std::string();
    return list.substr(start, end - start);
}
