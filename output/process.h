// Seam: external programs (process_win32.cpp).
#pragma once

// Runs commandLine with its window shown or hidden and waits for it, keeping
// the windows alive; a stop request ends the process. 0 when it ran to its
// end, else the system's error number.
int RunAndWait(const char* commandLine, bool showWindow);
// Starts commandLine without waiting; 0 when the process was created.
int StartProgram(const char* commandLine, bool showWindow);
