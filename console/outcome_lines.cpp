// The console program's line per file, as text and as JSON.
#include "outcome_lines.h"

#include "../analysis/file_analysis.h"

#include <nlohmann/json.hpp>

namespace {

const char* OutcomeWord(EntryOutcome outcome) {
    switch (outcome) {
    case kEntryPrinted:
        return "printed";
    case kEntryNotPrinted:
        return "not printed";
    case kEntryFailed:
        return "failed";
    case kEntryNotReached:
        break;
    }
    return "not reached";
}

std::string Count(long long n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// "text, 3 pages", "postscript, 4 pages, 2410 bytes", "raw, 120 bytes".
std::string SentText(const DispatchReport& sent) {
    std::string text = KindWord(sent.kind);
    if (sent.pages > 0)
        text += ", " + Count(sent.pages, "page", "pages");
    if (sent.bytes > 0)
        text += ", " + Count(sent.bytes, "byte", "bytes");
    return text;
}

} // namespace

const char* KindWord(int fileKind) {
    switch (fileKind) {
    case Text:
        return "text";
    case PlainPostScript:
    case StructuredPostScript:
        return "postscript";
    case EncapsulatedPostScript:
        return "eps";
    default:
        return "raw";
    }
}

std::string OutcomeLine(const BatchEntry& entry) {
    std::string line = std::string(OutcomeWord(entry.outcome)) + ": " + entry.name;
    if (entry.outcome == kEntryPrinted)
        line += " (" + SentText(entry.sent) + ")";
    return line;
}

std::string OutcomeJson(const BatchEntry& entry) {
    nlohmann::ordered_json object;
    object["outcome"] = OutcomeWord(entry.outcome);
    object["name"] = entry.name;
    if (entry.outcome == kEntryPrinted) {
        object["kind"] = KindWord(entry.sent.kind);
        if (entry.sent.pages > 0)
            object["pages"] = entry.sent.pages;
        if (entry.sent.sheets > 0)
            object["sheets"] = entry.sent.sheets;
        if (entry.sent.bytes > 0)
            object["bytes"] = entry.sent.bytes;
    }
    // A name from a settings file may be ANSI text, and one the system gave
    // may hold an unpaired surrogate: stand-ins keep the line valid JSON.
    return object.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}
