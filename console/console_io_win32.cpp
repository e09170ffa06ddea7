// The console's streams and its Ctrl+C, through the Windows console API.
#include "console_io.h"

#include <windows.h>

#include "../common/wide_names_win32.h"

#include <string>

namespace {

volatile LONG stopSignals = 0;
HANDLE stopEvent = nullptr;
// Set once the program has finished its run, so that a close of the console
// waits for the log's stop line rather than cutting it off.
HANDLE finishedEvent = nullptr;

HANDLE StreamHandle(ConsoleStream stream) {
    return GetStdHandle(stream == kStandardOutput ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}

bool IsConsoleHandle(HANDLE handle) {
    DWORD mode;
    return handle && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}

// The first Ctrl+C or Ctrl+Break stops the file in hand and ends the run;
// a second ends the program at once. Closing the console, logging off or a
// shutdown stop it too; the system ends the process soon after the handler
// returns, so the handler waits a little for the run to end in order.
BOOL WINAPI OnConsoleControl(DWORD event) {
    LONG signals = InterlockedIncrement(&stopSignals);
    if (stopEvent)
        SetEvent(stopEvent);
    bool closing =
        event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT;
    if (closing && finishedEvent)
        WaitForSingleObject(finishedEvent, 4000);
    else if (signals > 1)
        ExitProcess(1);
    return TRUE;
}

} // namespace

void StartConsoleIo() {
    stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    finishedEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

void FinishConsoleIo() {
    if (finishedEvent)
        SetEvent(finishedEvent);
}

void WriteConsoleText(ConsoleStream stream, const std::string& text) {
    HANDLE handle = StreamHandle(stream);
    if (!handle || handle == INVALID_HANDLE_VALUE)
        return;
    DWORD written;
    if (IsConsoleHandle(handle)) {
        std::wstring wide = WideName(text.c_str());
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    // A pipe or a file gets the UTF-8 bytes.
    WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

bool StreamIsConsole(ConsoleStream stream) {
    return IsConsoleHandle(StreamHandle(stream));
}

bool InputIsConsole() {
    return IsConsoleHandle(GetStdHandle(STD_INPUT_HANDLE));
}

bool ReadConsoleLine(std::string* line) {
    line->clear();
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    WCHAR buffer[256];
    DWORD read = 0;
    if (!ReadConsoleW(input, buffer, 255, &read, nullptr) || read == 0)
        return false;
    buffer[read] = L'\0';
    *line = NameFromWide(buffer);
    while (!line->empty() && (line->back() == '\n' || line->back() == '\r'))
        line->pop_back();
    return true;
}

int StopSignals() {
    return static_cast<int>(InterlockedCompareExchange(&stopSignals, 0, 0));
}

void WaitForStopSignal(int milliseconds) {
    if (StopSignals() > 0 || milliseconds <= 0)
        return;
    WaitForSingleObject(stopEvent, static_cast<DWORD>(milliseconds));
}

long long ConsoleClock() {
    return static_cast<long long>(GetTickCount64());
}
