// Lays out a text file with the default settings on the recorder, counting
// drawing calls without keeping them: the counting pass (the default header
// asks for the total) and every page of one copy. Prints one line for each
// run: its wall and CPU seconds, the calls, the logical pages and the peak
// memory so far (kB).
//
//   textfmt_bench_tool [--runs N] [--highlight PP.TXT --as NAME] FILE
//
// --highlight turns keyword highlighting on with that definitions file; the
// job then takes NAME (say "text.c") as the file's name, which picks the
// definition, so that the plain and the highlighted job read the same file.
#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "../doubles/recorder.h"
#include "../doubles/text_device_recorder.h"
#include "common/stop_request.h"
#include "settings/settings.h"
#include "textfmt/definitions.h"
#include "textfmt/text_print.h"

namespace {

struct BenchOptions {
    int runs = 1;
    const char* definitions = nullptr;
    const char* name = nullptr;
    const char* file = nullptr;
};

bool ParseOptions(int argc, char** argv, BenchOptions* options) {
    for (int i = 1; i < argc; ++i) {
        bool hasValue = i + 1 < argc;
        if (!strcmp(argv[i], "--runs") && hasValue)
            options->runs = atoi(argv[++i]);
        else if (!strcmp(argv[i], "--highlight") && hasValue)
            options->definitions = argv[++i];
        else if (!strcmp(argv[i], "--as") && hasValue)
            options->name = argv[++i];
        else if (argv[i][0] != '-' && !options->file)
            options->file = argv[i];
        else
            return false;
    }
    if (!options->name)
        options->name = options->file;
    return options->file && options->runs > 0;
}

double CpuSeconds() {
    timespec now;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The process's peak resident memory in kB. Read from /proc rather than
// taken from getrusage, which on Linux also counts what the parent held
// when it forked this process.
long PeakMemory() {
    FILE* status = fopen("/proc/self/status", "r");
    if (!status)
        return 0;
    char line[256];
    long peak = 0;
    while (fgets(line, sizeof line, status))
        if (sscanf(line, "VmHWM: %ld", &peak) == 1)
            break;
    fclose(status);
    return peak;
}

struct JobTimes {
    double wall, cpu;
};

// One job; false when it failed.
bool RunJob(const BenchOptions& options, JobTimes* times) {
    FILE* file = fopen(options.file, "rb");
    if (!file)
        return false;
    ResetDoubles();
    ResetTextDevice();
    DeviceScript.countOnly = true;
    SetDefaultSettings(&CurrentSettings);
    if (options.definitions) {
        SetDefinitionsPath(options.definitions);
        CurrentSettings.PrettyPrint = 1;
    }
    auto start = std::chrono::steady_clock::now();
    double cpuStart = CpuSeconds();
    int ok = PrintTextFile(file, options.name, RecorderDevice(), 1, nullptr);
    times->cpu = CpuSeconds() - cpuStart;
    times->wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    fclose(file);
    return ok == kTextJobPrinted;
}

} // namespace

int main(int argc, char** argv) {
    BenchOptions options;
    if (!ParseOptions(argc, argv, &options)) {
        fprintf(stderr, "usage: %s [--runs N] [--highlight PP.TXT --as NAME] FILE\n", argv[0]);
        return 2;
    }
    for (int run = 0; run < options.runs; ++run) {
        JobTimes times;
        if (!RunJob(options, &times))
            return 1;
        printf("%.4f %.4f %lld %d %ld\n", times.wall, times.cpu, DeviceCallCount,
               LastTextLayout().logicalPages, PeakMemory());
    }
    return 0;
}
