// Seam: external programs (process_win32.cpp).
#pragma once

#include <cstddef>

// Runs commandLine with its window shown or hidden and waits for it, keeping
// the windows alive; a stop request ends the process. 0 when it ran to its
// end, with the code it exited with in *exitCode; else the system's error
// number.
int RunAndWait(const char* commandLine, bool showWindow, unsigned long* exitCode);
// Starts commandLine without waiting; 0 when the process was created.
int StartProgram(const char* commandLine, bool showWindow);

// The program of a command line (program_path.cpp, portable): a quoted path
// without its quotes up to the closing one, else the text up to the first
// blank. False when it does not fit.
bool ProgramOfCommand(const char* command, char* out, size_t size);
// The drive and directory of that program; empty for a bare program name.
bool ProgramDirectoryOf(const char* command, char* out, size_t size);
