// The console program's own qualifiers, its refusals and its exit codes.
#include "console_options.h"

#include "../common/bounded_text.h"

namespace {

// The character after "/" that selects a qualifier, in lower case.
char Selector(const std::string& argument) {
    char c = argument.size() > 1 ? argument[1] : '\0';
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

ConsoleOptions ReadConsoleOptions(const std::vector<std::string>& arguments) {
    ConsoleOptions options;
    bool qualifiers = true;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        qualifiers = qualifiers && !argument.empty() && argument[0] == '/';
        if (!qualifiers) {
            options.arguments.push_back(argument);
            continue;
        }
        // The installer and the uninstaller are dialogs; so is the preview.
        bool windowsOnly = (i == 0 && (CompareNoCase(argument.c_str(), "/install") == 0 ||
                                       CompareNoCase(argument.c_str(), "/uninstall") == 0)) ||
                           Selector(argument) == 'v';
        if (windowsOnly && options.refused.empty())
            options.refused = argument;
        switch (Selector(argument)) {
        case 'y':
            options.yesToAll = true;
            break;
        case 'a':
            options.ask = true;
            break;
        case 'j':
            options.json = true;
            break;
        default:
            options.arguments.push_back(argument);
        }
    }
    return options;
}

bool DefaultAnswerIsYes(const ConsoleOptions& options) {
    return options.yesToAll;
}

void CountOutcome(const BatchEntry& entry, RunTally* tally) {
    if (entry.isList)
        return;
    switch (entry.outcome) {
    case kEntryPrinted:
        ++tally->printed;
        break;
    case kEntryNotPrinted:
        ++tally->notPrinted;
        break;
    case kEntryFailed:
        ++tally->failed;
        break;
    case kEntryNotReached:
        break;
    }
}

ConsoleExitCode ExitCodeOf(const RunTally& tally) {
    if (tally.failed > 0 || tally.stopped)
        return kExitFailed;
    return tally.notPrinted > 0 ? kExitNotPrinted : kExitPrinted;
}
