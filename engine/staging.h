// Copies the driver folder of the running Windows into the spooler's driver
// directory, registers the driver's INF and places the extra system file.
#pragma once

#include <windows.h>

constexpr size_t kStagingPathSize = 512;
constexpr size_t kFolderPathSize = MAX_PATH;

// 1 on success, 0 on failure (the failing step has told the user where it
// says so). Reports 20 percent.
int StageDriverFiles(int variant, HWND owner);

// Copies every file below `sourceFolder` flat into `destinationFolder` (both
// ending with '\'). Nonzero when the folder could be enumerated and no
// unlisted file or sub-folder failed.
int CopyDriverFolder(HWND owner, const char* sourceFolder, const char* destinationFolder);

// Nonzero when the destination holds the source's content afterwards.
int CopyDriverFile(const char* destinationPath, const char* sourcePath, HWND owner);

// 1 when both files open and hold the same bytes, else 0.
int FilesIdentical(const char* destinationPath, const char* sourcePath);

// The catalogue entry of the driver folder for an OS variant.
unsigned DriverFolderEntry(int variant);

// The driver directory (no trailing '\') for the spooler environment this
// process must register for. False when the spooler cannot say or it does
// not fit.
bool QueryDriverDirectory(char (&directory)[kStagingPathSize]);
