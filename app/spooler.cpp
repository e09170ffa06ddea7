// Spooler mode: one scan of the pattern. The timer is stopped while the scan
// runs, so however long printing takes, scans never overlap.
#include "spooler.h"

#include "job_runner.h"
#include "shell_state.h"
#include "spool_files.h"
#include "../common/bounded_text.h"
#include "../common/file_system.h"
#include "../common/messages.h"
#include "../common/paths.h"
#include "../settings/settings.h"

#include <cerrno>
#include <cstring>
#include <map>
#include <string>

namespace {

typedef std::map<std::string, FileStamp> StampMap;

// Files found too fresh to print at the last scan, as they were then.
StampMap unsettled;
// Files printed whose deletion failed, as they were when printed: printed
// once is enough; they are only deleted at later scans while unchanged.
StampMap printedKept;

bool SameStamp(const FileStamp& a, const FileStamp& b) {
    return a.size == b.size && a.writeTime == b.writeTime;
}

const FileStamp* Find(const StampMap& map, const std::string& path) {
    StampMap::const_iterator found = map.find(path);
    return found == map.end() ? nullptr : &found->second;
}

// Old enough, or unchanged since the previous scan: the second covers a
// writer whose clock runs ahead, whose files would otherwise look fresh for
// ever.
bool Settled(const FileStamp& stamp, const FileStamp* before) {
    return CurrentFileTime() - stamp.writeTime >= kSpoolerSettleMs ||
           (before && SameStamp(stamp, *before));
}

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

// True when the file is gone. A file that stays is remembered, so that it is
// not printed again at every scan; the failure is reported the first time.
bool DeleteOrKeep(const std::string& path, const FileStamp& stamp, StampMap* kept, bool report) {
    if (RemoveFile(path.c_str()) || !PathExists(path.c_str()))
        return true;
    int error = errno;
    (*kept)[path] = stamp;
    if (report)
        ShowMessage(kTextAccessError, path.c_str(), error, kMessageError);
    return false;
}

void PrintAndDelete(const std::string& path, const FileStamp& stamp, StampMap* kept) {
    // A file that failed to print, or was stopped, waits for the next scan.
    if (!PrintEntry(path.c_str(), MainWindow, 1, 1))
        return;
    if (BackupDirectory[0])
        BackUp(path.c_str());
    DeleteOrKeep(path, stamp, kept, true);
}

// One matching file: printed when settled and free, deleted afterwards.
void TakeFile(const std::string& path, StampMap* fresh, StampMap* kept) {
    FileStamp stamp;
    if (!ReadFileStamp(path.c_str(), &stamp))
        return; // gone since the directory was read
    const FileStamp* printed = Find(printedKept, path);
    if (printed && SameStamp(*printed, stamp)) {
        DeleteOrKeep(path, stamp, kept, false);
        return;
    }
    if (!Settled(stamp, Find(unsettled, path))) {
        (*fresh)[path] = stamp;
        return;
    }
    // Still being written, or held by another program: a later scan takes it.
    if (CanOpenExclusively(path.c_str()))
        PrintAndDelete(path, stamp, kept);
}

} // namespace

void ResetSpoolerMemory() {
    unsettled.clear();
    printedKept.clear();
}

void SpoolerTick() {
    SetSpoolerTimer(false);
    // The spooler deletes each printed file itself, after its backup copy;
    // the runner must not delete it first.
    DeleteAfterPrint = false;
    // What the scan learns replaces what the last one knew, so that files
    // that have gone are forgotten.
    StampMap fresh, kept;
    char path[kPathSize] = "";
    MatchSearch* search = nullptr;
    // Read-only entries and directories are never returned by the search; a
    // pattern whose directory has gone matches nothing until it is back.
    while (FindNextMatchingFile(SpoolerPattern, path, sizeof path, &search, false))
        TakeFile(path, &fresh, &kept);
    unsettled.swap(fresh);
    printedKept.swap(kept);
    SetSpoolerTimer(true);
}
