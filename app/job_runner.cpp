// The print job runner. Every file the program prints passes PrintEntry, so
// this is where a batch starts and ends: busy state, printer dialog, progress
// window, the settings set per file and its restoration, and the log lines.
#include "job_runner.h"

#include "activity_log.h"
#include "progress.h"
#include "shell_ui.h"
#include "../analysis/file_analysis.h"
#include "../common/bounded_text.h"
#include "../common/file_system.h"
#include "../common/messages.h"
#include "../common/paths.h"
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

// List files may name list files. A list naming itself (directly or round a
// circle) would otherwise recurse until the stack runs out.
const int kMaxListDepth = 16;
int listDepth = 0;

bool IsListReference(const char* entry) {
    return entry[0] == '@' && !PathExists(entry);
}

void EndBatch() {
    SetBusy(false);
    ProgressEnd();
    if (CompareNoCase(FileSettingsName, BatchSettingsName) != 0)
        LoadSettingsSet(BatchSettingsName);
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
    return true;
}

// The settings set bound to the file's extension, or the batch's own set.
void ChooseSettings(const char* path) {
    char found[sizeof FileSettingsName];
    if (FindSettingsSetForFile(path, found, sizeof found)) {
        CopyText(FileSettingsName, sizeof FileSettingsName, found);
        LoadSettingsSet(FileSettingsName);
    } else if (CompareNoCase(FileSettingsName, BatchSettingsName) != 0) {
        CopyText(FileSettingsName, sizeof FileSettingsName, BatchSettingsName);
        LoadSettingsSet(FileSettingsName);
    }
}

// Reads the next entry of a list file. A line longer than the buffer gives
// several entries, but the line end right after a full buffer is not an
// entry of its own. A CR before the LF goes too: a list written on Windows
// and read where the runtime keeps CRs still names the same files.
bool ReadListLine(FILE* file, char* buffer) {
    if (!std::fgets(buffer, kPathSize, file))
        return false;
    size_t n = std::strlen(buffer);
    if (n > 0 && buffer[n - 1] == '\n') {
        buffer[--n] = '\0';
    } else if (n == kPathSize - 1) {
        int c = std::fgetc(file);
        if (c == '\r')
            c = std::fgetc(file);
        if (c != '\n' && c != EOF)
            std::ungetc(c, file);
    }
    if (n > 0 && buffer[n - 1] == '\r')
        buffer[--n] = '\0';
    return true;
}

void LogEntry(int prefixId, const char* entry) {
    if (EchoToLog)
        LogLine(LoadText(prefixId), entry);
}

} // namespace

bool PrintEntry(const char* entry, WindowRef owner, int index, int count) {
    bool isList = IsListReference(entry);
    FileAnalysis* analysis = nullptr;
    if (!isList) {
        analysis = AnalyzeFile(entry);
        if (!analysis) {
            ShowMessage(kTextCouldNotOpen, entry, errno, kMessageError);
            EndBatch();
            return false;
        }
    }
    SetBusy(true);
    if (index == 1 && !StartBatch(owner, analysis, count))
        return false;
    ProgressNextFile(FileNameOf(entry));
    LogEntry(kTextLogStartPrinting, entry);

    bool ok;
    if (isList) {
        ok = PrintListFile(entry + 1);
    } else {
        ChooseSettings(analysis->path);
        ok = DispatchFile(analysis);
        ReleaseFile(analysis, DeleteAfterPrint);
    }
    ok = ok && !PumpMessages();
    if (index == count || !ok)
        EndBatch();
    LogEntry(kTextLogDonePrinting, entry);
    return ok;
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
    while (ReadListLine(file, line))
        ++lines;
    ProgressBegin(lines);
    std::rewind(file);

    ++listDepth;
    bool ok = true;
    while (ok && ReadListLine(file, line))
        ok = PrintEntry(line, MainWindow, 0, 1);
    --listDepth;
    std::fclose(file);
    return ok;
}

bool PrintOpenSelection(const char* buffer, WindowRef owner) {
    const char* first = buffer;
    if (!*first)
        return false;
    const char* names = first + std::strlen(first) + 1;
    if (!*names)
        return PrintEntry(first, owner, 1, 1);

    int count = 0;
    for (const char* name = names; *name; name += std::strlen(name) + 1)
        ++count;
    // Built as a string: the runner refuses a path too long for its buffers
    // with its usual message, so nothing here has to cut it.
    std::string directory = first;
    if (directory.back() != '\\')
        directory += '\\';
    bool ok = true;
    int index = 0;
    for (const char* name = names; *name && ok; name += std::strlen(name) + 1)
        ok = PrintEntry((directory + name).c_str(), owner, ++index, count);
    return ok;
}

void PrintDroppedFiles(WindowRef window, const std::vector<std::string>& names) {
    BringWindowToTop(window);
    if (CurrentSettings.EnablePrefsDD && !ShowSettingsDialog(window))
        return;
    int count = static_cast<int>(names.size());
    bool ok = true;
    for (int i = 0; i < count && ok; ++i)
        ok = PrintEntry(names[i].c_str(), window, i + 1, count);
}
