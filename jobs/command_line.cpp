// The command-line grammar. Qualifiers act at once and in the order given,
// so that "/i:file /n:set /#:2" means: that file, then that set of it, then
// two copies on that set's printer.
#include "command_line.h"

#include "activity_log.h"
#include "../common/bounded_text.h"
#include "../common/code_pages.h"
#include "../common/messages.h"
#include "../common/paths.h"
#include "../output/printer_selection.h"
#include "../settings/settings.h"
#include "../textfmt/definitions.h"

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace {

// The device settings hold the copy count in 16 bits.
const long kMaxCopies = 32767;

// Reads the copy count the way "%d" would: optional blanks and sign, then
// digits; anything after them is ignored.
bool ReadCopies(const char* text, int* copies) {
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (end == text)
        return false;
    // Out of range (ERANGE included) is held to what the device can count.
    if (value < 1)
        value = 1;
    else if (value > kMaxCopies)
        value = kMaxCopies;
    *copies = static_cast<int>(value);
    return true;
}

Qualifier Make(QualifierAction action, const char* value) {
    return Qualifier{action, value, 0};
}

} // namespace

Qualifier ClassifyQualifier(const char* argument) {
    size_t length = std::strlen(argument);
    const char* value = length > 3 ? argument + 3 : "";
    // Qualifiers whose value is required are refused when it is missing.
    auto required = [&](QualifierAction action) {
        return length < 4 ? Make(kQualMissingValue, "") : Make(action, value);
    };
    char selector = length > 1 ? argument[1] : '\0';
    switch (selector) {
    case '#': {
        Qualifier q = Make(kQualNothing, value);
        if (ReadCopies(value, &q.number))
            q.action = kQualCopies;
        return q;
    }
    case '-':
        return Make(kQualStdin, value);
    case 'b':
    case 'B':
        return required(kQualBackup);
    case 'c':
    case 'C':
        return Make(kQualClipboard, value);
    case 'd':
        // Only the lower-case "d" is known: "/delete" (anywhere in the
        // argument) deletes, and "/dump" or any other "/d..." echoes, so that
        // a command line written for either keeps its meaning.
        return Make(std::strstr(argument, "delete") ? kQualDelete : kQualEcho, "");
    case 'e':
    case 'E':
        return Make(kQualEcho, "");
    case 'i':
    case 'I':
        return Make(kQualSettingsFile, value);
    case 'l':
    case 'L':
        return required(kQualLog);
    case 'n':
    case 'N':
        return required(kQualSettingsSet);
    case 'p':
    case 'P':
        return Make(kQualDefinitions, value);
    case 'q':
    case 'Q':
        return Make(kQualQuit, "");
    case 's':
    case 'S':
        return required(kQualSpooler);
    case 'v':
    case 'V':
        return Make(kQualPreview, "");
    case 'x':
        return Make(length > 2 && argument[2] == '1' ? kQualLockCopies : kQualNothing, "");
    default:
        return Make(kQualInvalid, "");
    }
}

namespace {

void Warn(int id, const char* argument) {
    ShowMessage(id, argument, 0, kMessageWarning);
}

bool ApplyBackup(const char* argument, const std::string& value) {
    // A directory that does not fit is refused rather than cut: a cut name
    // would have the spooler copy into some other directory.
    if (value.size() > kPathChars) {
        ShowMessage(kTextCreateDirectoryFailed, argument, ENAMETOOLONG, kMessageError);
        return false;
    }
    CopyText(BackupDirectory, sizeof BackupDirectory, value.c_str());
    return CreateDirectoryPath(BackupDirectory);
}

// The full path of a directory as the file system spells it, without a
// closing separator (a root keeps its own); empty names the current one.
std::string DirectoryKey(const char* directory) {
    std::string path = directory[0] ? directory : ".";
    char last = path[path.size() - 1];
    path += last == '\\' || last == '/' || last == ':' ? "." : "\\.";
    const char* resolved = ResolvePath(path.c_str(), true);
    return resolved ? resolved : path;
}

// The /b: directory is the one the pattern searches: each backup copy would
// be made over the file it copies, and the file then deleted.
bool BackupIsSpoolDirectory() {
    return BackupDirectory[0] && IsSpoolDirectory(BackupDirectory);
}

bool ApplySettingsSet(const std::string& value) {
    // The command line brings the name in UTF-8, and the settings file keeps
    // its sets in the ANSI code page. A name with a letter that code page
    // lacks names no set of it, and the store refuses a name too long for
    // its buffer: not found either.
    std::vector<char> name(value.size() + 1);
    if (AnsiNameOf(value.c_str(), name.data(), name.size()) && LoadSettingsSet(name.data()))
        return true;
    Warn(kTextSettingsNotFound, value.c_str());
    return false;
}

bool ApplySpooler(const char* argument, const std::string& value) {
    if (!CopyText(SpoolerPattern, sizeof SpoolerPattern, value.c_str())) {
        SpoolerPattern[0] = '\0';
        Warn(kTextInvalidQualifier, argument);
        return false;
    }
    SpoolerMode = true;
    return true;
}

// False when the qualifier was refused (and reported).
bool Apply(const char* argument, const Qualifier& q, CommandLine* line) {
    switch (q.action) {
    case kQualCopies:
        SetDeviceCopies(q.number);
        break;
    case kQualStdin:
    case kQualClipboard:
        line->capture = q.action == kQualStdin ? kCaptureStdin : kCaptureClipboard;
        if (!q.value.empty())
            line->captureName = q.value;
        break;
    case kQualBackup:
        return ApplyBackup(argument, q.value);
    case kQualDelete:
        line->deleteAfterPrint = true;
        break;
    case kQualEcho:
        EchoToLog = true;
        break;
    case kQualSettingsFile:
        // "/i" alone names no file: the default one, as /p does. A name too
        // long for its buffer is refused, and reported, by the store.
        return SelectSettingsFile(q.value.empty() ? nullptr : q.value.c_str());
    case kQualLog:
        LogOpen(q.value.c_str());
        break;
    case kQualSettingsSet:
        return ApplySettingsSet(q.value);
    case kQualDefinitions:
        if (q.value.size() > kPathChars) {
            Warn(kTextInvalidQualifier, argument);
            return false;
        }
        SetDefinitionsPath(q.value.c_str());
        break;
    case kQualQuit:
        line->quitAfterCommandLine = true;
        break;
    case kQualSpooler:
        return ApplySpooler(argument, q.value);
    case kQualLockCopies:
        LockCopyControls();
        break;
    case kQualPreview:
        line->previewFiles = true;
        break;
    case kQualNothing:
        break;
    case kQualMissingValue:
        Warn(kTextQualifierNeedsValue, argument);
        return false;
    case kQualInvalid:
        Warn(kTextInvalidQualifier, argument);
        return false;
    }
    return true;
}

} // namespace

ParseOutcome ParseCommandLine(const std::vector<std::string>& arguments, CommandLine* line,
                              int* exitCode) {
    SpoolerPattern[0] = '\0';
    BackupDirectory[0] = '\0';
    *line = CommandLine();
    *exitCode = 0;
    if (arguments.empty())
        return kParseContinue;

    const char* first = arguments[0].c_str();
    if (CompareNoCase(first, "/install") == 0) {
        line->first = kFirstInstall;
        return kParseContinue;
    }
    if (CompareNoCase(first, "/uninstall") == 0) {
        line->first = kFirstUninstall;
        return kParseContinue;
    }
    // The qualifiers after it describe the service, not this run.
    if (CompareNoCase(first, "/service") == 0) {
        line->first = kFirstService;
        line->serviceArguments.assign(arguments.begin() + 1, arguments.end());
        return kParseContinue;
    }

    std::string backupArgument;
    size_t i = 0;
    for (; i < arguments.size() && arguments[i][0] == '/'; ++i) {
        const char* argument = arguments[i].c_str();
        Qualifier q = ClassifyQualifier(argument);
        if (q.action == kQualBackup)
            backupArgument = argument;
        if (!Apply(argument, q, line))
            ++line->refusals;
    }
    line->files.assign(arguments.begin() + static_cast<std::ptrdiff_t>(i), arguments.end());

    if ((EchoToLog || SpoolerMode) && !LogIsOpen())
        LogOpen(nullptr);

    if (SpoolerMode && BackupIsSpoolDirectory()) {
        ShowMessage(kTextInvalidQualifier, backupArgument.c_str(), 0, kMessageError);
        *exitCode = 1;
        return kParseEnd;
    }
    return kParseContinue;
}

bool IsSpoolDirectory(const char* directory) {
    std::string spool = DirectoryKey(PathComponents(SpoolerPattern, "drive,dir"));
    return CompareNoCase(spool.c_str(), DirectoryKey(directory).c_str()) == 0;
}
