#include "messages.h"

#include <cstring>
#include <cstdio>

#include "bounded_text.h"
#include "log_line.h"
#include "message_box.h"
#include "string_table.h"

static char loadedText[kLoadTextSize];

namespace {

// The open record of BeginMessageRecord.
struct MessageRecord {
    bool open = false;
    std::vector<std::string> repeated;
    std::vector<std::string> texts;
};
MessageRecord record;

// Keeps the text; true when it repeats what the record is told was said.
bool KeepInRecord(const char* text, int kind) {
    if (!record.open || kind == kMessageQuestion)
        return false;
    record.texts.push_back(text);
    for (const std::string& said : record.repeated)
        if (said == text)
            return true;
    return false;
}

} // namespace

const char* LoadText(int id) {
    if (ReadStringTable(id, loadedText, sizeof loadedText) <= 0)
        loadedText[0] = '\0';
    return loadedText;
}

static int NormalKind(int kind) {
    if (kind < kMessageWarning)
        return kMessageError;
    return kind == kMessageWarning ? kMessageWarning : kMessageQuestion;
}

// The texts are formatted with exactly two string arguments. A conversion
// that would read anything else (a number, a "*" width, a third string) would
// read past them, so such a text is shown as it stands.
static bool TakesTwoStrings(const char* format) {
    int strings = 0;
    for (const char* p = strchr(format, '%'); p; p = strchr(p, '%')) {
        ++p;
        if (*p == '%') {
            ++p;
            continue;
        }
        p += strspn(p, "-+ #0");
        p += strspn(p, "0123456789");
        if (*p == '.') {
            ++p;
            p += strspn(p, "0123456789");
        }
        if (*p != 's' || ++strings > 2)
            return false;
    }
    return true;
}

static void FormatWithStrings(char* out, const char* format, const char* first,
                              const char* second) {
    if (TakesTwoStrings(format))
        FormatText(out, kMessageSize, format, first, second);
    else
        CopyText(out, kMessageSize, format);
}

static void FormatWithReason(int id, const char* argument, const char* reason, int kind,
                             char* title, char* text) {
    // LoadText shares one buffer, so each loaded text is copied before the next load.
    char word[kLoadTextSize];
    CopyText(word, sizeof word,
             LoadText(kind < kMessageWarning ? kTextWordError : kTextWordWarning));
    char format[kLoadTextSize];
    CopyText(format, sizeof format, LoadText(kTextTitleFormat));
    FormatWithStrings(title, format, word, "");

    CopyText(format, sizeof format, LoadText(id));
    FormatWithStrings(text, format, argument ? argument : "", reason ? reason : "");
}

void FormatMessageText(int id, const char* argument, int osError, int kind, char* title,
                       char* text) {
    FormatWithReason(id, argument, osError != 0 ? strerror(osError) : "", kind, title, text);
}

static int Show(const char* title, const char* text, int kind) {
    kind = NormalKind(kind);
    if (KeepInRecord(text, kind))
        return kAnswerOk;
    LogLine("* ", text);
    PlatformBeep(kind);
    return PlatformMessageBox(text, title, kind);
}

int ShowMessage(int id, const char* argument, int osError, int kind) {
    char title[kMessageSize];
    char text[kMessageSize];
    FormatMessageText(id, argument, osError, kind, title, text);
    return Show(title, text, kind);
}

int ShowMessageWithReason(int id, const char* argument, const char* reason, int kind) {
    char title[kMessageSize];
    char text[kMessageSize];
    FormatWithReason(id, argument, reason, kind, title, text);
    return Show(title, text, kind);
}

void BeginMessageRecord(const std::vector<std::string>& repeated) {
    record.open = true;
    record.repeated = repeated;
    record.texts.clear();
}

std::vector<std::string> EndMessageRecord() {
    record.open = false;
    record.repeated.clear();
    std::vector<std::string> texts;
    texts.swap(record.texts);
    return texts;
}
