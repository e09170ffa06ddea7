// Lays out a text file with the default settings on the recorder, counting
// drawing calls without keeping them: the counting pass (the default header
// asks for the total) and every page of one copy. Prints the best time of
// five runs, the calls, the logical pages and the peak memory.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>

#include "../doubles/recorder.h"
#include "../doubles/text_device_recorder.h"
#include "common/stop_request.h"
#include "settings/settings.h"
#include "textfmt/text_print.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    double best = 1e9;
    long long calls = 0;
    for (int run = 0; run < 5; ++run) {
        FILE* file = fopen(argv[1], "rb");
        if (!file)
            return 1;
        ResetDoubles();
        ResetTextDevice();
        DeviceScript.countOnly = true;
        SetDefaultSettings(&CurrentSettings);
        auto start = std::chrono::steady_clock::now();
        int ok = PrintTextFile(file, argv[1], RecorderDevice(), 1, nullptr);
        double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        fclose(file);
        if (!ok)
            return 1;
        if (seconds < best)
            best = seconds;
        calls = DeviceCallCount;
    }
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    printf("%.4f %lld %d %ld\n", best, calls, LastTextLayout().logicalPages, usage.ru_maxrss);
    return 0;
}
