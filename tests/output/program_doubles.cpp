// The process seam and the short-path lookup for the output tests: the
// conversion program is played by a function of the test. The conversion
// table under Wine leaves this out and runs real processes.
#include "output_doubles.h"

#include "common/bounded_text.h"
#include "output/conversion_command.h"
#include "output/process.h"

int RunAndWait(const char* commandLine, bool showWindow, unsigned long* exitCode) {
    Printer.commands.push_back(commandLine);
    Printer.commandWindows.push_back(showWindow);
    *exitCode = Printer.exitCode;
    return Printer.program ? Printer.program(commandLine) : 0;
}
int StartProgram(const char* commandLine, bool) {
    Printer.commands.push_back(commandLine);
    return 0;
}
bool ShortProgramPath(const char* program, char* out, size_t size) {
    auto known = Printer.shortNames.find(program);
    if (known != Printer.shortNames.end())
        return CopyText(out, size, known->second.c_str());
    for (const std::string& existing : Printer.existingPrograms)
        if (existing == program)
            return CopyText(out, size, "C:\\PROGRA~1\\CONVER~1\\CONV.EXE");
    return false;
}
