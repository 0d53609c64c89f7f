#include "spooler_state.h"

#include "ui_driver.h"

#include <windows.h>
#include <winspool.h>

#include <memory>

namespace {

std::string Utf8(const wchar_t* text) { return text ? Utf8FromWide(text) : std::string(); }

std::vector<std::string> MultiString(const wchar_t* list)
{
    std::vector<std::string> items;
    for (; list && *list; list += wcslen(list) + 1)
        items.push_back(Utf8FromWide(list));
    return items;
}

}  // namespace

std::vector<PrinterState> ListPrinters()
{
    std::vector<PrinterState> printers;
    DWORD needed = 0, count = 0;
    EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
    if (needed == 0)
        return printers;
    std::unique_ptr<BYTE[]> buffer(new BYTE[needed]);
    if (!EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.get(), needed, &needed, &count))
        return printers;
    auto* info = reinterpret_cast<PRINTER_INFO_2W*>(buffer.get());
    for (DWORD i = 0; i < count; ++i) {
        printers.push_back({Utf8(info[i].pPrinterName), Utf8(info[i].pDriverName), Utf8(info[i].pPortName),
                            Utf8(info[i].pPrintProcessor), Utf8(info[i].pDatatype), info[i].Attributes});
    }
    return printers;
}

bool FindPrinter(const std::string& name, PrinterState& printer)
{
    for (const PrinterState& p : ListPrinters()) {
        if (p.name == name) {
            printer = p;
            return true;
        }
    }
    return false;
}

bool FindDriver(const std::string& name, DriverState& driver)
{
    std::wstring wide = WideFromUtf8(name);
    HANDLE printer = nullptr;
    // A driver is read through a printer that uses it.
    if (!OpenPrinterW(wide.data(), &printer, nullptr))
        return false;
    bool found = false;
    for (DWORD level : {6u, 3u}) {
        DWORD needed = 0;
        GetPrinterDriverW(printer, nullptr, level, nullptr, 0, &needed);
        if (needed == 0)
            continue;
        std::unique_ptr<BYTE[]> buffer(new BYTE[needed]);
        if (!GetPrinterDriverW(printer, nullptr, level, buffer.get(), needed, &needed))
            continue;
        auto* info = reinterpret_cast<DRIVER_INFO_3W*>(buffer.get());
        driver.name = Utf8(info->pName);
        driver.version = info->cVersion;
        driver.driverPath = Utf8(info->pDriverPath);
        driver.dataFile = Utf8(info->pDataFile);
        driver.configFile = Utf8(info->pConfigFile);
        driver.helpFile = Utf8(info->pHelpFile);
        driver.dependentFiles = MultiString(info->pDependentFiles);
        driver.defaultDatatype = Utf8(info->pDefaultDataType);
        if (level == 6)
            driver.manufacturer = Utf8(reinterpret_cast<DRIVER_INFO_6W*>(buffer.get())->pszMfgName);
        found = true;
        break;
    }
    ClosePrinter(printer);
    return found;
}

std::string DefaultPrinter()
{
    wchar_t name[512] = {};
    DWORD size = 512;
    if (!GetDefaultPrinterW(name, &size))
        return std::string();
    return Utf8FromWide(name);
}

std::string ProfileDevice()
{
    wchar_t value[1024] = {};
    GetProfileStringW(L"windows", L"device", L"", value, 1024);
    return Utf8FromWide(value);
}

void DeletePrinterNamed(const std::string& name)
{
    std::wstring wide = WideFromUtf8(name);
    PRINTER_DEFAULTSW access = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE printer = nullptr;
    if (OpenPrinterW(wide.data(), &printer, &access)) {
        DeletePrinter(printer);
        ClosePrinter(printer);
    }
}

void DeleteDriverNamed(const std::string& name)
{
    std::wstring wide = WideFromUtf8(name);
    DeletePrinterDriverW(nullptr, nullptr, wide.data());
}

namespace {
bool IsOurs(const std::string& name)
{
    return name.rfind("KORVA KD-900", 0) == 0 || name.rfind("岚鹊KD-8", 0) == 0;
}
}  // namespace

void RemoveInstalledPrinters()
{
    for (const PrinterState& p : ListPrinters()) {
        if (IsOurs(p.name))
            DeletePrinterNamed(p.name);
    }
    DWORD needed = 0, count = 0;
    EnumPrinterDriversW(nullptr, nullptr, 1, nullptr, 0, &needed, &count);
    if (needed) {
        std::unique_ptr<BYTE[]> buffer(new BYTE[needed]);
        if (EnumPrinterDriversW(nullptr, nullptr, 1, buffer.get(), needed, &needed, &count)) {
            auto* info = reinterpret_cast<DRIVER_INFO_1W*>(buffer.get());
            std::vector<std::string> names;
            for (DWORD i = 0; i < count; ++i)
                names.push_back(Utf8(info[i].pName));
            for (const std::string& name : names) {
                if (IsOurs(name))
                    DeleteDriverNamed(name);
            }
        }
    }
    WriteProfileStringW(L"windows", L"device", nullptr);
}
