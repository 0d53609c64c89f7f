#include "engine/registration.h"

#include "engine/catalogue.h"
#include "engine/catalogue_ids.h"
#include "engine/message_box.h"
#include "engine/ops.h"
#include "engine/os_variant.h"
#include "engine/path_buffer.h"
#include "engine/progress.h"
#include "engine/selection.h"
#include "engine/staging.h"

#include <winspool.h>

#include <cstring>

namespace {

using RegistrationPath = PathBuffer<kRegistrationPathSize>;

// Driver directory, "\" and a file name; false when it would not fit.
bool BuildDriverPath(RegistrationPath& path, const char* directory, const char* fileName)
{
    return path.Append(directory) && path.Append("\\") && path.Append(fileName);
}

std::string LoadText(unsigned id)
{
    std::string text;
    LoadCatalogueText(id, text);
    return text;
}

// The spooler answers ERROR_PRINTER_DRIVER_ALREADY_INSTALLED when an earlier
// install registered the model's driver; the printer can use that one.
bool DriverRegistered(BOOL added)
{
    return added || GetLastError() == ERROR_PRINTER_DRIVER_ALREADY_INSTALLED;
}

}  // namespace

int PackDependentFiles(const std::vector<std::string>& names, char (&buffer)[kDependentFilesSize])
{
    size_t needed = 1;  // the empty name that ends the list
    for (const std::string& name : names)
        needed += name.size() + 1;
    if (needed > sizeof buffer)
        return 0;
    char* out = buffer;
    for (const std::string& name : names) {
        std::memcpy(out, name.c_str(), name.size() + 1);
        out += name.size() + 1;
    }
    *out = '\0';
    return 1;
}

int RegisterDriverAndPrinter(const char* printerName, int variant)
{
    char directory[kStagingPathSize];
    if (!QueryDriverDirectory(directory)) {
        ShowCatalogueMessage(nullptr, CAT_MSG_NO_DRIVER_DIR, MB_ICONERROR);
        return 0;
    }
    CatalogueString dataType = LoadCatalogueString(CAT_DATA_TYPE);
    CatalogueString manufacturer = LoadCatalogueString(CAT_MANUFACTURER);
    CatalogueString printProcessor = LoadCatalogueString(CAT_PRINT_PROCESSOR);
    // A 32-bit process on 64-bit Windows registers for the native environment,
    // the one whose driver directory staging filled.
    CatalogueString x64 = LoadCatalogueString(CAT_ENVIRONMENT_X64);
    char* environment = const_cast<char*>(ChooseDriverEnvironment(RunningUnderWow64(), x64.data()));

    // The driver carries the model's name, which is the name the printer asks for.
    std::string model = g_selectedModel;
    std::string port = g_selectedPort;
    char dependentFiles[kDependentFilesSize] = {};

    if (variant != OSV_WIN9X) {
        CatalogueString driverFile = LoadCatalogueString(CAT_DRIVER_FILE);
        CatalogueString configFile = LoadCatalogueString(CAT_CONFIG_FILE);
        CatalogueString helpFile = LoadCatalogueString(CAT_HELP_FILE);
        std::string dataFile = LookupPairFile(LoadText(CAT_DATA_FILES), model);
        RegistrationPath driverPath, dataPath, configPath, helpPath;
        unsigned dependents = variant == OSV_NT5_X86 || variant == OSV_NT5_64 ? CAT_DEPENDENTS_NT5
                                                                              : CAT_DEPENDENTS_NT6;
        if (!BuildDriverPath(driverPath, directory, driverFile.data()) ||
            !BuildDriverPath(dataPath, directory, dataFile.c_str()) ||
            !BuildDriverPath(configPath, directory, configFile.data()) ||
            !BuildDriverPath(helpPath, directory, helpFile.data()) ||
            !PackDependentFiles(SplitItemList(LoadText(dependents)), dependentFiles))
            return 0;

        DRIVER_INFO_6A driver = {};
        driver.cVersion = 3;
        driver.pName = model.data();
        driver.pEnvironment = environment;
        driver.pDriverPath = driverPath.Data();
        driver.pDataFile = dataPath.Data();
        driver.pConfigFile = configPath.Data();
        driver.pHelpFile = helpPath.Data();
        driver.pDependentFiles = dependentFiles;
        driver.pDefaultDataType = dataType.data();
        driver.pszMfgName = manufacturer.data();
        if (!DriverRegistered(g_ops.AddPrinterDriverA(nullptr, 6, reinterpret_cast<LPBYTE>(&driver))))
            return 0;
    } else {
        std::string driverFile = LookupPairFile(LoadText(CAT_LEVEL3_DRIVER_FILES), model);
        RegistrationPath driverPath;
        std::vector<std::string> dependents = SplitItemList(LoadText(CAT_DEPENDENTS_WIN9X));
        dependents.push_back(driverFile);
        if (!BuildDriverPath(driverPath, directory, driverFile.c_str()) ||
            !PackDependentFiles(dependents, dependentFiles))
            return 0;

        DRIVER_INFO_3A driver = {};
        driver.cVersion = 0;
        driver.pName = model.data();
        driver.pEnvironment = environment;
        driver.pDriverPath = driverPath.Data();
        driver.pDataFile = driverPath.Data();
        driver.pConfigFile = driverPath.Data();
        driver.pDependentFiles = dependentFiles;
        driver.pDefaultDataType = dataType.data();
        // Not examined: the printer step tells whether the spooler has the driver.
        g_ops.AddPrinterDriverA(nullptr, 3, reinterpret_cast<LPBYTE>(&driver));
    }
    ReportProgress(60);

    std::string name = printerName;
    PRINTER_INFO_2A printer = {};
    printer.pPrinterName = name.data();
    printer.pPortName = port.data();
    printer.pDriverName = model.data();
    printer.pPrintProcessor = printProcessor.data();
    printer.pDatatype = dataType.data();
    printer.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    HANDLE added = g_ops.AddPrinterA(nullptr, 2, reinterpret_cast<LPBYTE>(&printer));
    if (!added)
        return 0;
    g_ops.ClosePrinter(added);
    ReportProgress(80);
    return 1;
}
