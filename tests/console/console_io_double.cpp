// The console seam played in memory (console_io_double.h).
#include "console/console_io.h"
#include "console_io_double.h"
#include "tests/doubles/recorder.h"

ConsoleScript Console;

void WriteConsoleText(ConsoleStream stream, const std::string& text) {
    (stream == kStandardOutput ? Console.out : Console.err) += text;
}

bool StreamIsConsole(ConsoleStream stream) {
    return stream == kStandardOutput ? Console.outIsConsole : Console.errIsConsole;
}

bool InputIsConsole() {
    return Console.inputIsConsole;
}

bool ReadConsoleLine(std::string* line) {
    if (Console.typed.empty())
        return false;
    *line = Console.typed.front();
    Console.typed.pop_front();
    return true;
}

int StopSignals() {
    std::function<void()> pending;
    pending.swap(Console.duringCheck);
    if (pending)
        pending();
    return Console.stopSignals;
}

void PressCtrlCWhilePrinting() {
    Console.duringCheck = [] {
        if (OtherParts.dispatching)
            ++Console.stopSignals;
        else
            PressCtrlCWhilePrinting();
    };
}

void WaitForStopSignal(int milliseconds) {
    Console.clock += milliseconds;
    std::function<void()> pending;
    pending.swap(Console.duringWait);
    if (pending)
        pending();
}

long long ConsoleClock() {
    return Console.clock;
}
