// Seam: the console program's standard streams, its Ctrl+C and its clock.
// console_io_win32.cpp is the real console; the native tests play one
// (tests/console/console_io_double.cpp).
#pragma once

#include <string>

enum ConsoleStream { kStandardOutput, kStandardError };

// Writes UTF-8 text: to a console in its own characters, to a pipe or a file
// as the UTF-8 bytes, so that a name in any script survives either way.
void WriteConsoleText(ConsoleStream stream, const std::string& text);
// True when the stream is a console window, not a pipe or a file.
bool StreamIsConsole(ConsoleStream stream);
bool InputIsConsole();
// Reads one line typed at the console; false at the end of the input.
bool ReadConsoleLine(std::string* line);

// How many times Ctrl+C, Ctrl+Break or the console's close has been pressed
// since the program started. The handler runs on a thread of its own; this
// is the engine's one way to learn of it.
int StopSignals();
// Waits until `milliseconds` have passed or a stop signal arrives.
void WaitForStopSignal(int milliseconds);
// Milliseconds on a clock that only moves forward.
long long ConsoleClock();
