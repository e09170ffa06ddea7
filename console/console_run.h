// The console program: the same command line as the windows program, its
// messages on standard error, a line per file on standard output, and an
// exit code that says how the run went.
#pragma once

#include <string>
#include <vector>

// Runs the program on `arguments` (without the program's name); returns the
// exit code (ConsoleExitCode).
int RunConsole(const std::vector<std::string>& arguments);
