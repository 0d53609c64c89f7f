#include "support/spooler_state.h"

#include <winspool.h>

#include <memory>

namespace {

// Runs a spooler query that first reports the size it needs.
template <typename Query>
std::unique_ptr<BYTE[]> QueryBuffer(Query query)
{
    DWORD needed = 0;
    query(nullptr, 0, &needed);
    if (needed == 0)
        return nullptr;
    auto buffer = std::make_unique<BYTE[]>(needed);
    if (!query(buffer.get(), needed, &needed))
        return nullptr;
    return buffer;
}

std::string Text(const char* text) { return text ? text : ""; }

std::string BareName(const char* path)
{
    std::string text = Text(path);
    size_t slash = text.rfind('\\');
    return slash == std::string::npos ? text : text.substr(slash + 1);
}

}  // namespace

std::set<std::string> PrinterNames()
{
    std::set<std::string> names;
    DWORD count = 0;
    auto buffer = QueryBuffer([&](BYTE* data, DWORD size, DWORD* needed) {
        return EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, data, size, needed, &count);
    });
    auto* printers = reinterpret_cast<PRINTER_INFO_2A*>(buffer.get());
    for (DWORD i = 0; buffer && i < count; ++i)
        names.insert(Text(printers[i].pPrinterName));
    return names;
}

std::set<std::string> DriverNames()
{
    std::set<std::string> names;
    DWORD count = 0;
    auto buffer = QueryBuffer([&](BYTE* data, DWORD size, DWORD* needed) {
        return EnumPrinterDriversA(nullptr, nullptr, 1, data, size, needed, &count);
    });
    auto* drivers = reinterpret_cast<DRIVER_INFO_1A*>(buffer.get());
    for (DWORD i = 0; buffer && i < count; ++i)
        names.insert(Text(drivers[i].pName));
    return names;
}

PrinterRecord ReadPrinter(const std::string& name)
{
    PrinterRecord record;
    HANDLE printer = nullptr;
    if (!OpenPrinterA(const_cast<char*>(name.c_str()), &printer, nullptr))
        return record;
    auto buffer = QueryBuffer([&](BYTE* data, DWORD size, DWORD* needed) {
        return GetPrinterA(printer, 2, data, size, needed);
    });
    ClosePrinter(printer);
    if (!buffer)
        return record;
    auto* info = reinterpret_cast<PRINTER_INFO_2A*>(buffer.get());
    // OpenPrinterA may match loosely; only the exact name counts.
    record.found = Text(info->pPrinterName) == name;
    record.port = Text(info->pPortName);
    record.driver = Text(info->pDriverName);
    record.printProcessor = Text(info->pPrintProcessor);
    record.dataType = Text(info->pDatatype);
    record.attributes = info->Attributes;
    return record;
}

DriverRecord ReadPrinterDriver(const std::string& printerName, DWORD level, const char* environment)
{
    DriverRecord record;
    HANDLE printer = nullptr;
    if (!OpenPrinterA(const_cast<char*>(printerName.c_str()), &printer, nullptr))
        return record;
    auto buffer = QueryBuffer([&](BYTE* data, DWORD size, DWORD* needed) {
        return GetPrinterDriverA(printer, const_cast<char*>(environment), level, data, size, needed);
    });
    ClosePrinter(printer);
    if (!buffer)
        return record;
    // The level-6 record begins with the fields of the level-3 one.
    auto* info = reinterpret_cast<DRIVER_INFO_3A*>(buffer.get());
    record.found = true;
    record.version = info->cVersion;
    record.name = Text(info->pName);
    record.driverFile = BareName(info->pDriverPath);
    record.dataFile = BareName(info->pDataFile);
    record.configFile = BareName(info->pConfigFile);
    record.helpFile = BareName(info->pHelpFile);
    record.dataType = Text(info->pDefaultDataType);
    for (const char* file = info->pDependentFiles; file && *file; file += strlen(file) + 1)
        record.dependentFiles.push_back(BareName(file));
    return record;
}

std::string DefaultPrinter()
{
    char name[512] = {};
    DWORD size = sizeof name;
    return GetDefaultPrinterA(name, &size) ? name : "";
}

std::string ProfileDevice()
{
    char value[1024] = {};
    GetProfileStringA("windows", "device", "", value, sizeof value);
    return value;
}

bool AddPlainPrinter(const std::string& name, const std::string& driver)
{
    std::string printerName = name, driverName = driver, port = "LPT1:", processor = "winprint",
                dataType = "RAW";
    PRINTER_INFO_2A info = {};
    info.pPrinterName = printerName.data();
    info.pPortName = port.data();
    info.pDriverName = driverName.data();
    info.pPrintProcessor = processor.data();
    info.pDatatype = dataType.data();
    info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    HANDLE printer = AddPrinterA(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    if (!printer)
        return false;
    ClosePrinter(printer);
    return true;
}

ScopedSpoolerState::ScopedSpoolerState()
    : m_printers(PrinterNames()), m_drivers(DriverNames()), m_device(ProfileDevice())
{
}

ScopedSpoolerState::~ScopedSpoolerState() { Restore(); }

void ScopedSpoolerState::Restore()
{
    for (const std::string& name : PrinterNames()) {
        if (m_printers.count(name))
            continue;
        HANDLE printer = nullptr;
        PRINTER_DEFAULTSA access = {nullptr, nullptr, PRINTER_ALL_ACCESS};
        if (OpenPrinterA(const_cast<char*>(name.c_str()), &printer, &access)) {
            DeletePrinter(printer);
            ClosePrinter(printer);
        }
    }
    for (const std::string& name : DriverNames()) {
        if (!m_drivers.count(name))
            DeletePrinterDriverA(nullptr, nullptr, const_cast<char*>(name.c_str()));
    }
    WriteProfileStringA("windows", "device", m_device.empty() ? nullptr : m_device.c_str());
}
