// What the spooler holds, read back with the spooler's own calls (not through
// g_ops), and a guard that leaves the spooler as a test found it.
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <vector>

// Names are ANSI text of the thread's code page, as the spooler returns them.
std::set<std::string> PrinterNames();
std::set<std::string> DriverNames();

struct PrinterRecord {
    bool found = false;
    std::string port, driver, printProcessor, dataType;
    DWORD attributes = 0;
};
PrinterRecord ReadPrinter(const std::string& name);

// File fields hold bare file names: the spooler answers with the paths of its
// own versioned copies.
struct DriverRecord {
    bool found = false;
    DWORD version = 0;
    std::string name, driverFile, dataFile, configFile, helpFile, dataType;
    std::vector<std::string> dependentFiles;
};
// The driver of a printer, GetPrinterDriverA at `level` (3 or 6), in the
// given spooler environment (null: this process's own).
DriverRecord ReadPrinterDriver(const std::string& printerName, DWORD level, const char* environment = nullptr);

// GetDefaultPrinterA; empty when there is none.
std::string DefaultPrinter();
// [windows] device of the profile; empty when absent.
std::string ProfileDevice();

// Adds a printer on "LPT1:" that uses `driver`, straight through the spooler.
bool AddPlainPrinter(const std::string& name, const std::string& driver);

// Deletes, when it ends or on Restore(), every printer and driver added since
// it was made, and puts the default-printer profile entry back.
class ScopedSpoolerState {
public:
    ScopedSpoolerState();
    ~ScopedSpoolerState();
    ScopedSpoolerState(const ScopedSpoolerState&) = delete;
    ScopedSpoolerState& operator=(const ScopedSpoolerState&) = delete;
    void Restore();

private:
    std::set<std::string> m_printers;
    std::set<std::string> m_drivers;
    std::string m_device;
};
