// The install catalogue: the numbered texts of the program's string table,
// English or Chinese as the system's resource lookup picks them.
#pragma once

#include <windows.h>

#include <array>
#include <string>
#include <vector>

constexpr size_t kCatalogueStringSize = 260;
using CatalogueString = std::array<char, kCatalogueStringSize>;

// Entry text in the system ANSI code page, cut to 259 bytes, zero-filled
// after it; all zeros when the entry is missing.
CatalogueString LoadCatalogueString(UINT id);

// Entry text in the thread locale's ANSI code page, any length. Leaves `text`
// untouched when the table holds no non-empty text under `id`.
void LoadCatalogueText(UINT id, std::string& text);

// Items of a list in which every item is followed by ';'. Text after the last
// ';' is not an item.
std::vector<std::string> SplitItemList(const std::string& list);

// The file that a "name:file;" pair list gives for a display name (the first
// pair whose text contains it); see catalogue.cpp for the exact rule.
std::string LookupPairFile(const std::string& list, const std::string& displayName);

// Character-wise search in ANSI code-page text: a match starts only on a
// character boundary, so a double-byte trail byte never starts one.
// Returns std::string::npos when absent.
size_t FindText(const std::string& text, const std::string& what, size_t start = 0);

// Lower-cases the single-byte letters A-Z, leaving double-byte characters whole.
std::string LowerText(const std::string& text);
