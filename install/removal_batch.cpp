// The removal batch's text (see removal_batch.h).
#include "removal_batch.h"

#include <cstring>

#include "../common/bounded_text.h"
#include "../common/code_pages.h"
#include "../common/paths.h"

namespace {

// A path as one quoted batch word: inside quotes cmd takes "&", "|", "<",
// ">", "^" and blanks literally; only "%" still expands and is doubled.
bool AppendQuotedPath(char* out, size_t size, const char* path) {
    if (!AppendText(out, size, "\""))
        return false;
    char one[2] = {0, 0};
    for (const char* p = path; *p; ++p) {
        one[0] = *p;
        if (!AppendText(out, size, *p == '%' ? "%%" : one))
            return false;
    }
    return AppendText(out, size, "\"");
}

bool AppendLine(char* out, size_t size, const char* head, const char* path, const char* tail) {
    return AppendText(out, size, head) && AppendQuotedPath(out, size, path) &&
           AppendText(out, size, tail);
}

// The program may still be ending when the batch starts: try again about
// once a second, and give up after two minutes rather than spin for ever on
// a file that cannot be deleted.
const char kWaitAndRetry[] = "set /a tries+=1\n"
                             "if %tries% geq 120 goto removed\n"
                             "ping -n 2 127.0.0.1 >nul 2>&1\n"
                             "goto repeat\n";

} // namespace

bool RemovalBatchText(const char* batchPath, const char* programPath, char* out, size_t size) {
    if (size > 0)
        out[0] = '\0';
    if (std::strchr(batchPath, '"') || std::strchr(programPath, '"'))
        return false;
    PathParts batch;
    PathParts program;
    SplitPath(batchPath, &batch);
    SplitPath(programPath, &program);
    if (!batch.dir[0] || !program.dir[0] || !program.name[0])
        return false;

    char batchDir[kPathSize];
    char programDir[kPathSize];
    if (!FormatText(batchDir, sizeof batchDir, "%s%s", batch.drive, batch.dir) ||
        !FormatText(programDir, sizeof programDir, "%s%s", program.drive, program.dir))
        return false;
    // rmdir names the directory itself, without its closing backslash; a
    // root ("C:\") has nothing to remove.
    size_t length = std::strlen(programDir);
    programDir[length - 1] = '\0';
    bool removeDir = length > 1 && programDir[length - 2] != ':';

    // "cd /d" changes the drive too; the batch must not stand in the
    // directory it is to remove.
    bool ok = AppendLine(out, size, "cd /d ", batchDir, "\n") &&
              AppendText(out, size, "set tries=0\n:repeat\n") &&
              AppendLine(out, size, "del ", programPath, "\n") &&
              AppendLine(out, size, "if not exist ", programPath, " goto removed\n") &&
              AppendText(out, size, kWaitAndRetry) && AppendText(out, size, ":removed\n") &&
              (!removeDir || AppendLine(out, size, "rmdir ", programDir, "\n")) &&
              AppendText(out, size, "del %0\n");
    if (!ok && size > 0)
        out[0] = '\0';
    return ok;
}

bool RemovalBatchInOem(const char* batchPath, const char* programPath, char* out, size_t size) {
    char text[kPathSize * 8];
    if (!RemovalBatchText(batchPath, programPath, text, sizeof text)) {
        if (size > 0)
            out[0] = '\0';
        return false;
    }
    return OemTextOf(text, out, size);
}
