// The demo's walk through one install: starts Setup.exe in the current
// folder, goes the road a person would (launcher, driver button, the five
// wizard pages, progress, outcome box, exit) and ends by printing what the
// spooler holds. Before each screenshot it prints "SHOT <name>" and waits
// for a line on standard input, so that the script that runs it can take
// the picture from the X server while the window is up.
#include "support/spooler_state.h"
#include "support/test_support.h"
#include "ui_driver.h"

#include <cstdio>
#include <iostream>
#include <string>

namespace {

void Shot(const char* name)
{
    std::printf("SHOT %s\n", name);
    std::fflush(stdout);
    std::string answer;
    std::getline(std::cin, answer);
}

int Fail(const char* what)
{
    std::printf("walk: %s\n", what);
    std::fflush(stdout);
    return 1;
}

// Lets the window finish painting before it is photographed.
void Settle() { Sleep(400); }

}  // namespace

int main(int argc, char** argv)
{
    std::string exe = argc > 1 ? argv[1] : "Setup.exe";
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof folder, folder);

    SetupProcess setup;
    if (!setup.Start(exe, folder))
        return Fail("cannot start Setup.exe");
    HWND launcher = setup.WaitForLauncher();
    if (!launcher)
        return Fail("no launcher window");
    Settle();
    Shot("01-launcher");

    ClickControl(launcher, 1025);
    HWND wizard = setup.WaitForWizard();
    if (!wizard)
        return Fail("no wizard");
    const char* pages[] = {"02-welcome", "03-agreement", "04-model", "05-port", "06-confirm"};
    for (const char* page : pages) {
        Settle();
        Shot(page);
        ClickControl(wizard, 1002);
    }

    MessageBoxSeen outcome;
    if (!setup.WaitForMessageBox(outcome, 60000))
        return Fail("no outcome message");
    Settle();
    Shot("07-outcome");
    std::printf("outcome: %s\n", outcome.text.c_str());
    AnswerMessageBox(outcome);

    // Back at the launcher once the wizard's modal run has given it back.
    WaitFor([&] { return IsWindowEnabled(launcher) && !setup.WaitForProgress(0); }, 15000);
    Settle();
    Shot("08-back-at-launcher");
    ClickControl(launcher, 1024);
    DWORD code = 1;
    if (!setup.WaitForExit(15000, &code))
        return Fail("Setup.exe did not end");

    std::printf("\nThe spooler now holds:\n");
    for (const std::string& name : PrinterNames()) {
        PrinterRecord p = ReadPrinter(name);
        std::printf("  printer \"%s\": driver \"%s\", port %s, print processor %s, data type %s\n",
                    AnsiToUtf8(name).c_str(), AnsiToUtf8(p.driver).c_str(), p.port.c_str(), p.printProcessor.c_str(),
                    p.dataType.c_str());
    }
    std::printf("  default printer: \"%s\"\n", AnsiToUtf8(DefaultPrinter()).c_str());
    std::printf("Setup.exe exit status: %lu\n", code);
    return 0;
}
