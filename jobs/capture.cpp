// Printing text that is not in a file: the clipboard's text or standard
// input is copied into a file in the temporary directory, printed as a batch
// of one, and the file deleted again. The file's content decides how it
// prints, exactly as for any other file.
#include "capture.h"

#include "clipboard.h"
#include "job_runner.h"
#include "../common/bounded_text.h"
#include "../common/file_system.h"
#include "../common/messages.h"
#include "../common/paths.h"

#include <cstdio>
#include <cstring>
#include <string>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

// A capture name names a file in the temporary directory and nothing else:
// with a drive, a root or a way up, the capture would overwrite, print and
// then delete a file elsewhere.
bool IsPlainFileName(const char* name) {
    return name[0] && !std::strpbrk(name, "\\/:") && std::strcmp(name, ".") != 0 &&
           std::strcmp(name, "..") != 0;
}

// The temporary directory followed by `name`. The directory is the one the
// platform gives temporary files; a name that does not fit, or that is not a
// plain file name, is refused.
bool CapturePath(const char* name, char* out, size_t size) {
    if (!IsPlainFileName(name))
        return false;
    char probe[kPathSize];
    if (!MakeTempFileName(probe, sizeof probe))
        return false;
    RemoveFile(probe);
    return CopyText(out, size, PathComponents(probe, "drive,dir")) && AppendText(out, size, name);
}

// Closes the capture file and prints it, then deletes it. A file that could
// not be written whole is reported with `failureId` and removed unprinted.
bool PrintCaptureFile(FILE* file, bool written, const char* path, int failureId, Batch how) {
    if (std::fclose(file) != 0 || !written) {
        ShowMessage(failureId, path, 0, kMessageError);
        RemoveFile(path);
        return false;
    }
    how.entries.assign(1, BatchEntry());
    how.entries[0].name = path;
    bool ok = RunBatch(&how);
    RemoveFile(path);
    return ok;
}

} // namespace

bool PrintClipboard(Batch how, const char* fileName) {
    BatchSource source;
    if (!source.claimed)
        return false;
    std::string text;
    if (!ReadClipboardText(&text)) {
        ShowMessage(kTextClipboardFailed, "", 0, kMessageError);
        return false;
    }
    if (text.empty()) {
        ShowMessage(kTextClipboardNoText, "", 0, kMessageError);
        return false;
    }
    std::string name = fileName ? fileName : LoadText(kTextClipboardName);
    char path[kPathSize];
    if (!CapturePath(name.c_str(), path, sizeof path)) {
        ShowMessage(kTextClipboardFileFailed, name.c_str(), 0, kMessageError);
        return false;
    }
    if (PathExists(path) &&
        ShowMessage(kTextClipboardFileExists, path, 0, kMessageQuestion) != kAnswerYes)
        return false;
    FILE* file = OpenStream(path, "wb");
    if (!file) {
        ShowMessage(kTextClipboardFileFailed, path, 0, kMessageError);
        return false;
    }
    bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return PrintCaptureFile(file, written, path, kTextClipboardFileFailed, how);
}

bool PrintStandardInput(Batch how, const char* fileName) {
    BatchSource source;
    if (!source.claimed)
        return false;
    char path[kPathSize];
    const char* name = fileName ? fileName : "stdin";
    bool named = CapturePath(name, path, sizeof path);
    FILE* file = named ? OpenStream(path, "wb") : nullptr;
    if (!file) {
        // The path the user can look for; only a name that cannot make one
        // is reported as given.
        ShowMessage(kTextTempFileFailed, named ? path : name, 0, kMessageError);
        return false;
    }
#ifdef _WIN32
    // Byte for byte: a pipe may carry printer-ready data, which the text
    // mode's end-of-file and line-end handling would damage.
    _setmode(_fileno(stdin), _O_BINARY);
#endif
    char block[4096];
    size_t count;
    bool written = true;
    while (written && (count = std::fread(block, 1, sizeof block, stdin)) > 0)
        written = std::fwrite(block, 1, count, file) == count;
    return PrintCaptureFile(file, written, path, kTextTempFileFailed, how);
}
