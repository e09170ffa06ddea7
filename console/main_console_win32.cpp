// The console program's entry: the command line as the system keeps it, the
// console's Ctrl+C, then the run.
#include <windows.h>
#include <objbase.h>

#include <string>
#include <vector>

#include "console_io_win32.h"
#include "console_run.h"
#include "../common/program_instance_win32.h"
#include "../common/wide_names_win32.h"
#include "../jobs/arguments.h"

// The program expands wildcards itself (ExpandArguments), by the rules the
// windows program uses; the MinGW runtime must not do it first.
int _CRT_glob = 0;

HINSTANCE ProgramInstance = nullptr;

namespace {

// The arguments as the windows program reads them, without the program's
// name; the line in UTF-8 keeps every name whole.
std::vector<std::string> ProgramArguments() {
    const WCHAR* wide = GetCommandLineW();
    std::string whole = wide ? NameFromWide(wide) : std::string();
    std::vector<Argument> split = SplitProgramCommandLine(GetCommandLineA(), whole.c_str());
    if (!split.empty())
        split.erase(split.begin());
    return ExpandArguments(split);
}

} // namespace

int main() {
    ProgramInstance = GetModuleHandleW(nullptr);
    // The printer's driver and the shell's path functions want COM on this
    // thread, as in the windows program.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    StartConsoleIo();
    int exitCode = RunConsole(ProgramArguments());
    FinishConsoleIo();
    CoUninitialize();
    return exitCode;
}
