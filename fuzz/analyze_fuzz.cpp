// AnalyzeFile on arbitrary bytes: binary headers whose offsets and lengths
// point anywhere, windows with and without PostScript, comments cut at any
// place. The result must stay inside the file.
#include "analysis/file_analysis.h"
#include "common/file_system.h"
#include "settings/settings.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static char path[64];
    if (!path[0]) {
        snprintf(path, sizeof path, "/tmp/rvl-analyze-fuzz-%d", static_cast<int>(getpid()));
        SetDefaultSettings(&CurrentSettings);
    }
    FILE* file = fopen(path, "wb");
    if (!file)
        return 0;
    fwrite(data, 1, size, file);
    fclose(file);
    CurrentSettings.EnableTextPrint = size > 0 && (data[0] & 1);
    FileAnalysis* analysis = AnalyzeFile(path);
    if (!analysis)
        abort();
    long fileSize = static_cast<long>(size);
    if (analysis->psOffset < 0 || analysis->psLength < 0 ||
        analysis->psOffset + analysis->psLength > fileSize)
        abort();
    if (analysis->kind == StructuredPostScript &&
        (analysis->firstPageOffset < analysis->psOffset || analysis->firstPageOffset >= fileSize ||
         analysis->pageCount == 0))
        abort();
    ReleaseFile(analysis, false);
    return 0;
}
