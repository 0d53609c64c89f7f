// Helpers shared by the test programs: rebinding single engine operations,
// recording message boxes, a private copy of the sample install folder and
// text conversions for comparing against UTF-8 literals.
#pragma once

#include "engine/ops.h"

#include <windows.h>

#include <string>
#include <vector>

// Rebinds one entry of g_ops for the lifetime of the object.
template <typename Fn>
class ScopedOp {
public:
    ScopedOp(Fn& slot, Fn replacement) : m_slot(slot), m_saved(slot) { m_slot = replacement; }
    ~ScopedOp() { m_slot = m_saved; }
    ScopedOp(const ScopedOp&) = delete;
    ScopedOp& operator=(const ScopedOp&) = delete;

private:
    Fn& m_slot;
    Fn m_saved;
};

struct ShownMessage {
    HWND owner;
    std::string text;     // UTF-8
    std::string caption;  // UTF-8
    UINT type;
};

// While alive, engine message boxes are recorded instead of shown and answer IDOK.
class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    std::vector<ShownMessage> Messages() const;

private:
    ScopedOp<decltype(EngineOps::MessageBoxA)> m_op;
};

// ANSI (thread code page) <-> UTF-8, so tests compare with UTF-8 literals.
std::string AnsiToUtf8(const std::string& ansi);
std::string Utf8ToAnsi(const std::string& utf8);

bool CatalogueIsChinese();

// Windows path (Z:\...) of the generated sample install folder.
std::string SampleFolder();
std::string JoinPath(const std::string& folder, const std::string& name);

bool CopyTree(const std::string& from, const std::string& to);
void DeleteTree(const std::string& path);
std::string ReadWholeFile(const std::string& path);
bool WriteWholeFile(const std::string& path, const std::string& data);
bool FileExists(const std::string& path);

// A fresh copy of the sample folder under the temp folder, made the current
// directory; removed again (and the old current directory restored) at the end.
class ScopedInstallFolder {
public:
    explicit ScopedInstallFolder(const std::string& leafName = "korva-install");
    ~ScopedInstallFolder();
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
    std::string m_previous;
};

// The spooler's driver directory for this process, without trailing '\'.
std::string SpoolerDriverDirectory();
// Removes the plain files (not the version sub-folders) of the driver directory.
void ClearDriverDirectory();
