// The preview's side of a long text file, with the default settings on the
// recorder: the time to the first sheet (open, lay out, draw sheet 1), the
// time to walk and count every sheet, the sheets, and the peak memory. The
// walk goes four sheets at a call, as the preview window's timer does.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>

#include "../doubles/recorder.h"
#include "../doubles/text_device_recorder.h"
#include "common/stop_request.h"
#include "settings/settings.h"
#include "textfmt/text_sheets.h"

namespace {

double Since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    ResetDoubles();
    ResetTextDevice();
    DeviceScript.countOnly = true;
    SetDefaultSettings(&CurrentSettings);
    auto start = std::chrono::steady_clock::now();
    FILE* file = fopen(argv[1], "rb");
    if (!file)
        return 1;
    TextSheets* sheets = OpenTextSheets(file, argv[1], RecorderDevice(), CurrentSettings);
    if (!sheets || !DrawTextSheet(sheets, 0, RecorderDevice()))
        return 1;
    double first = Since(start);
    start = std::chrono::steady_clock::now();
    while (!WalkTextSheets(sheets, 4)) {
    }
    double walk = Since(start);
    // The last sheet, drawn alone from its restart point.
    start = std::chrono::steady_clock::now();
    if (!DrawTextSheet(sheets, TextSheetCount(sheets) - 1, RecorderDevice()))
        return 1;
    double last = Since(start);
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    printf("%.4f %.4f %.4f %d %ld\n", first, walk, last, TextSheetCount(sheets), usage.ru_maxrss);
    CloseTextSheets(sheets);
    fclose(file);
    return 0;
}
