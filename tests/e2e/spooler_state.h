// What the spooler holds, read back through its own API: printers with
// their driver, port and print processor, the driver records and the
// default printer. Used by the end-to-end tests and the demo walk.
#pragma once

#include <string>
#include <vector>

struct PrinterState {
    std::string name;       // UTF-8
    std::string driver;     // UTF-8
    std::string port;
    std::string processor;
    std::string datatype;
    unsigned attributes = 0;
};

struct DriverState {
    std::string name;  // UTF-8
    unsigned version = 0;
    std::string driverPath, dataFile, configFile, helpFile;  // UTF-8
    std::vector<std::string> dependentFiles;
    std::string defaultDatatype;
    std::string manufacturer;
};

std::vector<PrinterState> ListPrinters();
bool FindPrinter(const std::string& name, PrinterState& printer);
// Level 6 where the spooler has it, else level 3 (no manufacturer then).
bool FindDriver(const std::string& name, DriverState& driver);
std::string DefaultPrinter();
// [windows] device= of the profile (win.ini).
std::string ProfileDevice();
void DeletePrinterNamed(const std::string& name);
void DeleteDriverNamed(const std::string& name);
// Removes every printer and driver whose name starts with one of the
// catalogue's model names, and the default-printer profile entry.
void RemoveInstalledPrinters();
