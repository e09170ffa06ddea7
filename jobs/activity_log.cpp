// The activity log. Each line is flushed at once so that the log is complete
// even when the program ends without closing it (quit after the command line,
// a crash of a printer driver). A log that cannot be opened or written is
// ignored: it exists for unattended runs, where a message box would block.
#include "activity_log.h"

#include "../common/bounded_text.h"
#include "../common/code_pages.h"
#include "../common/file_system.h"
#include "../common/utf8.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

FILE* logFile = nullptr;
bool logInUtf8 = false; // else in the ANSI code page: an older log continued

const char kByteOrderMark[] = "\xEF\xBB\xBF";

// An appended log keeps the encoding it has: UTF-8 when it begins with the
// byte-order mark or is empty (it gets the mark then), else the ANSI code page.
bool ContinuesInUtf8(const char* path, bool* needsMark) {
    FILE* file = OpenStream(path, "rb");
    char head[3] = {};
    size_t count = file ? std::fread(head, 1, sizeof head, file) : 0;
    if (file)
        std::fclose(file);
    *needsMark = count == 0;
    return count == 0 || (count == 3 && std::memcmp(head, kByteOrderMark, 3) == 0);
}

// Text for a log in the ANSI code page: a character the code page lacks is
// written as <U+XXXX>, which a person can still read back.
std::string AnsiLogText(const char* utf8) {
    std::string out;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(utf8);
    while (*p) {
        size_t length = *p < 0x80 ? 1 : *p < 0xE0 ? 2 : *p < 0xF0 ? 3 : 4;
        std::string one(reinterpret_cast<const char*>(p), length);
        char ansi[8];
        if (AnsiNameOf(one.c_str(), ansi, sizeof ansi)) {
            out += ansi;
        } else {
            unsigned long code = *p & (0xFF >> (length + 1));
            for (size_t i = 1; i < length; ++i)
                code = (code << 6) | (p[i] & 0x3F);
            char escape[16];
            FormatText(escape, sizeof escape, "<U+%04lX>", code);
            out += escape;
        }
        p += length;
    }
    return out;
}

// A text (UTF-8, as every text the program logs) in the log's encoding.
std::string LogText(const char* text) {
    if (!HasNonAscii(text) || logInUtf8)
        return text;
    return AnsiLogText(text);
}

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
    bool needsMark = true;
    bool utf8 = mode[0] == 'w' || ContinuesInUtf8(path, &needsMark);
    logFile = OpenStream(path, mode);
    if (!logFile)
        return false;
    logInUtf8 = utf8;
    if (utf8 && needsMark)
        std::fputs(kByteOrderMark, logFile);
    LogLine("-- Ravlen started", "");
    return true;
}

void LogLine(const char* prefix, const char* text) {
    if (!logFile)
        return;
    char stamp[64];
    FormatLogTime(static_cast<long long>(std::time(nullptr)), stamp, sizeof stamp);
    std::fprintf(logFile, "%s%s * %s\n", LogText(prefix).c_str(), LogText(text).c_str(), stamp);
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
