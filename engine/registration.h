// Adds the staged driver to the spooler under the model's name and a printer
// that uses it on the chosen port.
#pragma once

#include <string>
#include <vector>

constexpr size_t kRegistrationPathSize = 512;
constexpr size_t kDependentFilesSize = 260;

// Nonzero when the printer was added. Only a missing driver directory is
// told to the user here; the install sequence reports every failure.
// Reports 60 once the driver is registered and 80 once the printer exists.
int RegisterDriverAndPrinter(const char* printerName, int variant);

// Packs the names into `buffer` as the spooler's multi-string: each name
// followed by NUL, then an empty name. Refuses (0, buffer untouched) what
// would not fit.
int PackDependentFiles(const std::vector<std::string>& names, char (&buffer)[kDependentFilesSize]);
