#include "engine/install.h"

#include "engine/catalogue.h"
#include "engine/default_printer.h"
#include "engine/message_box.h"
#include "engine/ops.h"
#include "engine/os_variant.h"
#include "engine/progress.h"
#include "engine/registration.h"
#include "engine/selection.h"
#include "engine/staging.h"

#include <set>

namespace {

// SetupAPI's ERROR_GENERAL_SYNTAX: the INF could not be parsed.
constexpr DWORD kInfSyntaxError = 0xE0000003;

bool PrinterExists(std::string name)
{
    HANDLE printer = nullptr;
    if (!g_ops.OpenPrinterA(name.data(), &printer, nullptr))
        return false;
    g_ops.ClosePrinter(printer);
    return true;
}

}  // namespace

std::string FormatCopySuffix(const std::string& format, int number)
{
    std::string out;
    bool substituted = false;
    size_t from = 0;
    // Walks '%' on character boundaries so a double-byte character is never split.
    for (size_t at = FindText(format, "%"); at != std::string::npos; at = FindText(format, "%", from)) {
        out.append(format, from, at - from);
        char next = at + 1 < format.size() ? format[at + 1] : '\0';
        if (next == '%') {
            out += '%';
            from = at + 2;
        } else if (next == 'd' && !substituted) {
            out += std::to_string(number);
            substituted = true;
            from = at + 2;
        } else {
            out += '%';
            from = at + 1;
        }
    }
    out.append(format, from, std::string::npos);
    return out;
}

int ChoosePrinterName(const std::string& baseName, std::string& printerName, unsigned suffixEntry)
{
    std::set<std::string> tried;
    std::string candidate = baseName;
    for (int copy = 1;; ++copy) {
        if (!PrinterExists(candidate)) {
            printerName = candidate;
            return 1;
        }
        tried.insert(candidate);
        if (copy > kMaxPrinterCopies)
            return 0;
        std::string suffix;
        LoadCatalogueText(suffixEntry, suffix);
        candidate = baseName + FormatCopySuffix(suffix, copy);
        // A suffix without its number makes the same names again.
        if (tried.count(candidate))
            return 0;
    }
}

int RunInstall()
{
    HWND owner = g_progressDialog;
    std::string port = g_selectedPort;
    std::string printerName;
    if (!ChoosePrinterName(g_selectedModel, printerName)) {
        ShowCatalogueMessage(owner, CAT_MSG_REGISTRATION_FAILED, MB_ICONERROR);
        return 0;
    }
    ReportProgress(10);

    int variant = DetectOsVariant();
    if (!StageDriverFiles(variant, owner)) {
        // Staging has shown why the INF was refused; nothing was installed.
        if (GetLastError() == kInfSyntaxError)
            return 0;
        ShowCatalogueMessage(owner, CAT_MSG_STAGING_FAILED, MB_ICONINFORMATION);
        return 0;
    }
    if (!RegisterDriverAndPrinter(printerName.c_str(), variant)) {
        ShowCatalogueMessage(owner, CAT_MSG_REGISTRATION_FAILED, MB_ICONERROR);
        return 0;
    }
    // Either way the install is done; a printer that is not the default still prints.
    if (variant == OSV_WIN9X)
        MakeDefaultPrinter(printerName.c_str(), port.c_str());
    else
        g_ops.SetDefaultPrinterA(printerName.c_str());
    return 1;
}
