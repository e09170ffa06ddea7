// The console's streams in memory for the native tests: what the program
// wrote to each, whether each is a console, the lines typed, Ctrl+C presses,
// and a clock that moves while the program waits.
#pragma once

#include <deque>
#include <functional>
#include <string>

struct ConsoleScript {
    std::string out, err;
    bool outIsConsole = false, errIsConsole = false, inputIsConsole = false;
    std::deque<std::string> typed;
    int stopSignals = 0;
    long long clock = 0;
    // Run once by the next wait of the program (a writer, a Ctrl+C).
    std::function<void()> duringWait;
    // Run once when the program next looks for a Ctrl+C.
    std::function<void()> duringCheck;
};

// Ctrl+C pressed while a file prints: at the first look for it from inside
// the dispatcher's double.
void PressCtrlCWhilePrinting();
extern ConsoleScript Console;
