// Message boxes of the install engine: a catalogue text under the caption of
// entry 251, shown through g_ops so that tests can record them.
#pragma once

#include <windows.h>

#include <string>

// Shows catalogue entry `textId`; `fallback` is shown instead when the
// catalogue has no text under that number.
void ShowCatalogueMessage(HWND owner, unsigned textId, UINT icon, const std::string& fallback = "");

// Shows `lead` directly followed by catalogue entry `textId`.
void ShowMessageAfter(HWND owner, const std::string& lead, unsigned textId, UINT icon);
