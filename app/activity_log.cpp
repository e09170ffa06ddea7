// The activity log. Each line is flushed at once so that the log is complete
// even when the program ends without closing it (quit after the command line,
// a crash of a printer driver). A log that cannot be opened or written is
// ignored: it exists for unattended runs, where a message box would block.
#include "activity_log.h"

#include "../common/bounded_text.h"
#include "../common/file_system.h"

#include <cstdio>
#include <ctime>

namespace {

FILE* logFile = nullptr;

const char* const kWeekdays[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

} // namespace

// Built here rather than with asctime: its day of the month is padded with a
// blank, and its names would follow no locale but the C library's own.
void FormatLogTime(long long unixTime, char* out, int size) {
    if (size <= 0)
        return;
    time_t when = static_cast<time_t>(unixTime);
    const struct tm* local = std::localtime(&when);
    if (!local || local->tm_wday < 0 || local->tm_wday > 6 || local->tm_mon < 0 ||
        local->tm_mon > 11) {
        out[0] = '\0';
        return;
    }
    FormatText(out, static_cast<size_t>(size), "%s %s %02d %02d:%02d:%02d %04d",
               kWeekdays[local->tm_wday], kMonths[local->tm_mon], local->tm_mday, local->tm_hour,
               local->tm_min, local->tm_sec, local->tm_year + 1900);
}

bool LogOpen(const char* name) {
    if (logFile)
        return false;
    char defaultPath[kPathSize];
    const char* path = name;
    const char* mode = "w";
    if (name && name[0] == '+') {
        path = name + 1;
        mode = "a";
    } else if (!name) {
        if (!WindowsDirectory(defaultPath, sizeof defaultPath) ||
            !AppendText(defaultPath, sizeof defaultPath, "\\ravlen.log"))
            return false;
        path = defaultPath;
    }
    logFile = OpenStream(path, mode);
    if (!logFile)
        return false;
    LogLine("-- Ravlen started", "");
    return true;
}

void LogLine(const char* prefix, const char* text) {
    if (!logFile)
        return;
    char stamp[64];
    FormatLogTime(static_cast<long long>(std::time(nullptr)), stamp, sizeof stamp);
    std::fprintf(logFile, "%s%s * %s\n", prefix, text, stamp);
    std::fflush(logFile);
}

void LogClose() {
    if (!logFile)
        return;
    LogLine("-- Ravlen stopped", "");
    std::fclose(logFile);
    logFile = nullptr;
}

bool LogIsOpen() {
    return logFile != nullptr;
}
