// The install sequence: a free printer name, the staged driver files, the
// driver and the printer in the spooler, and the printer made the default.
#pragma once

#include "engine/catalogue_ids.h"

#include <windows.h>

#include <string>

// How many copy suffixes the name probe tries before it gives up.
constexpr int kMaxPrinterCopies = 9999;

// 1 when the printer was installed, 0 when a step failed and the user has
// been told. Reads g_selectedModel, g_selectedPort and g_progressDialog.
int RunInstall();

// The first of `baseName`, `baseName` + suffix 1, + suffix 2 ... that no
// printer answers to, the suffix being catalogue entry `suffixEntry` with the
// copy number. 0 when every name up to kMaxPrinterCopies is taken or the
// suffix stops making new names.
int ChoosePrinterName(const std::string& baseName, std::string& printerName,
                      unsigned suffixEntry = CAT_COPY_SUFFIX);

// `format` with its first "%d" replaced by `number` and "%%" read as "%";
// every other character, any other conversion included, is kept as it is.
std::string FormatCopySuffix(const std::string& format, int number);
