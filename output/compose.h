// Composition of a PostScript job around a file's own code: end-of-job
// characters, the driver-header fix, the n-up or picture procedure set, the
// user's prolog, the setup or picture opening line, the code (whole, split at
// the first page, or page by page) and the trailer. The driver-header tail
// is not part of a copy: the job's sender writes it once, after the last.
#pragma once

#include "../analysis/file_analysis.h"

#include <cstddef>

// Writes one job for the record to the current output channel; the result is
// that of the transfer of the file's own code. With `selectedPages` a
// structured file sends the pages that page selection marked.
bool ComposePostScript(FileAnalysis* analysis, bool selectedPages);
// Writes stored procedure set `id`; false when it cannot be loaded.
bool SendResource(int id);
// Writes the user's prolog file; reports a file that cannot be opened.
bool SendPrologFile(const char* path);
// `name` as a PostScript string: in parentheses, with backslashes and
// parentheses escaped. False when `out` is too small.
bool PostScriptString(const char* name, char* out, size_t size);
