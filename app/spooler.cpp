// Spooler mode: one scan of the pattern. The timer is stopped while the scan
// runs, so however long printing takes, scans never overlap.
#include "spooler.h"

#include "job_runner.h"
#include "shell_state.h"
#include "../common/bounded_text.h"
#include "../common/file_system.h"
#include "../common/messages.h"
#include "../common/paths.h"

#include <cstring>

namespace {

void BackUp(const char* path) {
    char backup[kPathSize];
    CopyText(backup, sizeof backup, BackupDirectory);
    size_t length = std::strlen(backup);
    bool fits =
        (length > 0 && backup[length - 1] == '\\') || AppendText(backup, sizeof backup, "\\");
    fits = fits && AppendText(backup, sizeof backup, FileNameOf(path));
    if (!fits || !CopyFileReplacing(path, backup))
        ShowMessage(kTextBackupFailed, backup, 0, kMessageError);
}

} // namespace

void SpoolerTick() {
    SetSpoolerTimer(false);
    // The spooler deletes each printed file itself, after its backup copy;
    // the runner must not delete it first.
    DeleteAfterPrint = false;
    char path[kPathSize] = "";
    MatchSearch* search = nullptr;
    // Read-only entries and directories are never returned by the search.
    while (FindNextMatchingFile(SpoolerPattern, path, sizeof path, &search, false)) {
        // A file still being written, or held by another program, waits for
        // a later scan; so does one that failed to print or was stopped.
        if (!CanOpenExclusively(path) || !PrintEntry(path, MainWindow, 1, 1))
            continue;
        if (BackupDirectory[0])
            BackUp(path);
        RemoveFile(path);
    }
    SetSpoolerTimer(true);
}
