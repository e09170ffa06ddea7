// The print job runner. Every file the program prints passes PrintEntry, so
// this is where a batch starts and ends: busy state, printer dialog, progress
// window, the settings set per file and its restoration, and the log lines.
#include "job_runner.h"

#include "activity_log.h"
#include "progress.h"
#include "shell_ui.h"
#include "../analysis/file_analysis.h"
#include "../common/bounded_text.h"
#include "../common/code_pages.h"
#include "../common/file_system.h"
#include "../common/message_box.h"
#include "../common/messages.h"
#include "../common/paths.h"
#include "../common/utf8.h"
#include "../output/dispatch.h"
#include "../output/printer_selection.h"
#include "../settings/settings.h"
#include "../settings/settings_dialog.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

char BatchSettingsName[256] = "";
char FileSettingsName[256] = "";

namespace {

// The user's set as it was in force when the batch started. A set put in
// force with Apply is in no file (or differs from its file), so it comes
// back from here, not by loading its name.
Settings batchSettings;

// List files may name list files. A list naming itself (directly or round a
// circle) would otherwise recurse until the stack runs out.
const int kMaxListDepth = 16;
int listDepth = 0;

// Entries in progress (a list's lines nest inside their list's entry), and
// sources feeding a batch. The message pump can run a user's command in the
// middle of either.
int entriesRunning = 0;
int sourcesRunning = 0;

void RefuseNewBatch() {
    PlatformBeep(kMessageWarning);
}

bool IsListReference(const char* entry) {
    return entry[0] == '@' && !PathExists(entry);
}

void LoadRunSettings(const char* name) {
    LoadSettingsSet(name);
    KeepSpoolerUnattended();
}

void RestoreBatchSettings() {
    CurrentSettings = batchSettings;
    CopyText(CurrentSetName, sizeof CurrentSetName, BatchSettingsName);
    SelectSettingsPrinter();
    KeepSpoolerUnattended();
}

void EndBatch() {
    SetBusy(false);
    ProgressEnd();
    if (CompareNoCase(FileSettingsName, BatchSettingsName) != 0)
        RestoreBatchSettings();
    // The batch's set is in force again; without this a later batch whose
    // first entry fails before it starts would "restore" this batch's set.
    CopyText(FileSettingsName, sizeof FileSettingsName, BatchSettingsName);
}

// The first entry of a batch: a cancelled printer dialog prints nothing and
// keeps the file, even under /delete.
bool StartBatch(WindowRef owner, FileAnalysis* analysis, int count) {
    if (CurrentSettings.ShowPrintDlg && !ShowPrinterDialog(owner, analysis)) {
        SetBusy(false);
        ReleaseFile(analysis, false);
        return false;
    }
    StopRequested = false;
    ProgressBegin(count);
    CopyText(BatchSettingsName, sizeof BatchSettingsName, CurrentSetName);
    CopyText(FileSettingsName, sizeof FileSettingsName, CurrentSetName);
    batchSettings = CurrentSettings;
    return true;
}

// The settings set bound to the file's extension, or the batch's own set.
void ChooseSettings(const char* path) {
    char found[sizeof FileSettingsName];
    if (FindSettingsSetForFile(path, found, sizeof found)) {
        CopyText(FileSettingsName, sizeof FileSettingsName, found);
        LoadRunSettings(FileSettingsName);
    } else if (CompareNoCase(FileSettingsName, BatchSettingsName) != 0) {
        CopyText(FileSettingsName, sizeof FileSettingsName, BatchSettingsName);
        RestoreBatchSettings();
    }
}

// A file is analysed before its set is known (the printer dialog of a batch's
// first file wants it), so under the set of the file before. The set decides
// how the file prints (text formatted or sent raw), so a file whose own set
// is another one is analysed again under it. None when it cannot be reopened,
// which is then reported.
FileAnalysis* AnalyzeUnderOwnSet(FileAnalysis* analysis, const char* entry,
                                 const char* analysedWith) {
    if (CompareNoCase(analysedWith, CurrentSetName) == 0)
        return analysis;
    ReleaseFile(analysis, false);
    FileAnalysis* again = AnalyzeFile(entry);
    if (!again)
        ShowMessage(kTextCouldNotOpen, entry, errno, kMessageError);
    return again;
}

// The analysis of an entry that names a file. A name longer than any path is
// refused whole: cut, it could name another file.
FileAnalysis* OpenEntry(const char* entry) {
    if (std::strlen(entry) > kPathChars) {
        errno = ENAMETOOLONG;
        return nullptr;
    }
    return AnalyzeFile(entry);
}

enum ListLine { kNoLine, kLineRead, kLineTooLong };

// After a line that filled the buffer: whether it ends there (LF, CR LF or
// the end of the file). The line end, or the rest of the line, is consumed.
bool LineEndsHere(FILE* file) {
    int c = std::fgetc(file);
    if (c == '\r')
        c = std::fgetc(file);
    if (c == '\n' || c == EOF)
        return true;
    while (c != '\n' && c != EOF)
        c = std::fgetc(file);
    return false;
}

// Reads the next entry of a list file. A line longer than any path is passed
// over whole: read in pieces, it would name files nobody named. A CR before
// the LF goes too: a list written on Windows and read where the runtime
// keeps CRs still names the same files.
ListLine ReadListLine(FILE* file, char* buffer) {
    if (!std::fgets(buffer, kPathSize, file))
        return kNoLine;
    size_t n = std::strlen(buffer);
    if (n > 0 && buffer[n - 1] == '\n')
        buffer[--n] = '\0';
    else if (n == kPathSize - 1 && !LineEndsHere(file))
        return kLineTooLong;
    if (n > 0 && buffer[n - 1] == '\r')
        buffer[--n] = '\0';
    return kLineRead;
}

// A list file that is UTF-8 may begin with its byte-order mark.
const char* AfterByteOrderMark(const char* line) {
    return std::strncmp(line, "\xEF\xBB\xBF", 3) == 0 ? line + 3 : line;
}

void LogEntry(int prefixId, const char* entry) {
    if (EchoToLog)
        LogLine(LoadText(prefixId), entry);
}

// Analyses, prints, logs and releases one entry; see PrintEntry.
DispatchResult RunEntry(const char* entry, WindowRef owner, int index, int count) {
    bool isList = std::strlen(entry) <= kPathChars && IsListReference(entry);
    FileAnalysis* analysis = nullptr;
    char analysedWith[sizeof CurrentSetName];
    CopyText(analysedWith, sizeof analysedWith, CurrentSetName);
    if (!isList) {
        analysis = OpenEntry(entry);
        if (!analysis) {
            ShowMessage(kTextCouldNotOpen, entry, errno, kMessageError);
            EndBatch();
            return kPrintFailed;
        }
    }
    SetBusy(true);
    // A cancelled printer dialog ends the batch, as a stop would.
    if (index == 1 && !StartBatch(owner, analysis, count))
        return kPrintFailed;
    ProgressNextFile(FileNameOf(entry));
    LogEntry(kTextLogStartPrinting, entry);

    DispatchResult result;
    if (isList) {
        result = PrintListFile(entry + 1) ? kPrinted : kPrintFailed;
    } else {
        ChooseSettings(entry);
        analysis = AnalyzeUnderOwnSet(analysis, entry, analysedWith);
        result = analysis ? DispatchFile(analysis) : kPrintFailed;
    }
    // Only a file that went out whole may go: a failed, stopped or skipped
    // entry keeps its file, whatever /delete asked for.
    if (analysis)
        ReleaseFile(analysis, DeleteAfterPrint && result == kPrinted && !StopRequested);
    if (result != kPrintFailed && PumpMessages())
        result = kPrintFailed; // stopped
    if (index == count || result == kPrintFailed)
        EndBatch();
    LogEntry(kTextLogDonePrinting, entry);
    return result;
}

} // namespace

DispatchResult PrintEntryOutcome(const char* entry, WindowRef owner, int index, int count) {
    // A batch started inside a running one would end it: its idle state and
    // its restored set would take effect while the outer batch still prints.
    if (index >= 1 && entriesRunning > 0) {
        RefuseNewBatch();
        return kPrintFailed;
    }
    ++entriesRunning;
    DispatchResult result = RunEntry(entry, owner, index, count);
    --entriesRunning;
    return result;
}

bool PrintEntry(const char* entry, WindowRef owner, int index, int count) {
    return PrintEntryOutcome(entry, owner, index, count) != kPrintFailed;
}

bool PrintListFile(const char* path) {
    if (listDepth >= kMaxListDepth) {
        ShowMessage(kTextListFileOpenFailed, path, EMFILE, kMessageError);
        return false;
    }
    FILE* file = OpenStream(path, "r");
    if (!file) {
        ShowMessage(kTextListFileOpenFailed, path, errno, kMessageError);
        return false;
    }
    char line[kPathSize];
    int lines = 0;
    bool utf8 = true;
    ListLine read;
    while ((read = ReadListLine(file, line)) != kNoLine) {
        // A line too long to be read whole is refused in any encoding.
        const char* text = lines++ == 0 ? AfterByteOrderMark(line) : line;
        if (read == kLineRead && !IsUtf8(text, std::strlen(text)))
            utf8 = false;
    }
    ProgressBegin(lines);
    std::rewind(file);

    ++listDepth;
    bool ok = true;
    bool first = true;
    while (ok && (read = ReadListLine(file, line)) != kNoLine) {
        const char* name = line;
        if (first && utf8)
            name = AfterByteOrderMark(line);
        first = false;
        char converted[kPathSize];
        if (read == kLineRead && !utf8 && HasNonAscii(line)) {
            if (!Utf8FromAnsi(line, converted, sizeof converted))
                read = kLineTooLong;
            name = converted;
        }
        if (read == kLineTooLong)
            ShowMessage(kTextCouldNotOpen, line, ENAMETOOLONG, kMessageError);
        else
            ok = PrintEntry(name, MainWindow, 0, 1);
    }
    --listDepth;
    std::fclose(file);
    return ok;
}

namespace {

// The Open dialog's texts: one path, or a directory and names.
std::vector<std::string> SplitSelection(const char* buffer) {
    std::vector<std::string> texts;
    for (const char* text = buffer; *text; text += std::strlen(text) + 1)
        texts.push_back(text);
    return texts;
}

} // namespace

bool PrintOpenSelection(const char* buffer, WindowRef owner) {
    BatchSource source;
    if (!source.claimed)
        return false;
    // The batch walks its own copy: the window's buffer can be freed (Exit)
    // or refilled while the batch runs.
    std::vector<std::string> texts = SplitSelection(buffer);
    if (texts.empty())
        return false;
    if (texts.size() == 1)
        return PrintEntry(texts[0].c_str(), owner, 1, 1);

    int count = static_cast<int>(texts.size()) - 1;
    // Built as a string: the runner refuses a path too long for its buffers
    // with its usual message, so nothing here has to cut it.
    std::string directory = texts[0];
    if (directory.back() != '\\')
        directory += '\\';
    bool ok = true;
    for (int i = 1; i <= count && ok; ++i)
        ok = PrintEntry((directory + texts[static_cast<size_t>(i)]).c_str(), owner, i, count);
    return ok;
}

void PrintDroppedFiles(WindowRef window, const std::vector<std::string>& names) {
    BatchSource source;
    if (!source.claimed)
        return;
    BringWindowToTop(window);
    if (CurrentSettings.EnablePrefsDD && !ShowSettingsDialog(window))
        return;
    int count = static_cast<int>(names.size());
    bool ok = true;
    for (int i = 0; i < count && ok; ++i)
        ok = PrintEntry(names[static_cast<size_t>(i)].c_str(), window, i + 1, count);
}

bool BatchRunning() {
    return entriesRunning > 0 || sourcesRunning > 0;
}

BatchSource::BatchSource() : claimed(!BatchRunning()) {
    if (claimed)
        ++sourcesRunning;
    else
        RefuseNewBatch();
}

BatchSource::~BatchSource() {
    if (claimed)
        --sourcesRunning;
}

void KeepSpoolerUnattended() {
    if (!SpoolerMode)
        return;
    CurrentSettings.ShowPrintDlg = 0;
    CurrentSettings.ProgrBar = 0;
}
