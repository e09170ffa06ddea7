// Analyses a file and composes its PostScript job into a file, with settings
// given on the command line; used by the Ghostscript checks and the bench.
//   compose_tool [Key=value...] [pages=2,4] [raw] input output
//   compose_tool analyze input
//   compose_tool time N <either of the above>: the fastest of N runs in
//   milliseconds, measured inside the process (for the bench).
// "raw" writes the job as the spooler channel would get it (with the
// end-of-job characters and the request for the printer preferences, of
// the printer "Capture" as Wine's driver describes the bench's capture
// printer); otherwise through the file channel.
#include "output/compose.h"
#include "analysis/file_analysis.h"
#include "analysis/page_index.h"
#include "output/channels.h"
#include "output/printer_selection.h"
#include "output/spooler_channel.h"
#include "settings/settings.h"
#include "tests/doubles/printer_capabilities_double.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

static FILE* rawJob = nullptr;

bool StartSpoolerJob(const char*, const char*, const char*, const char*) {
    return true;
}
bool WriteRawJob(const void* bytes, size_t count) {
    return rawJob && fwrite(bytes, 1, count, rawJob) == count;
}
bool CloseRawJob(bool) {
    return true;
}
void GetPrinterName(char* buffer, size_t size) {
    snprintf(buffer, size, "%s", "Capture");
}

namespace {

bool SetSetting(const std::string& key, const std::string& value) {
    Settings& s = CurrentSettings;
    struct IntKey {
        const char* name;
        int* field;
    } ints[] = {{"NUpPs", &s.NUpPs},       {"PSEOFChar", &s.PSEOFChar}, {"DrvHead", &s.DrvHead},
                {"PlaceEPS", &s.PlaceEPS}, {"FrameEPS", &s.FrameEPS},   {"NameEPS", &s.NameEPS},
                {"Width", &s.Width},       {"Height", &s.Height},       {"Landscape", &s.Landscape},
                {"AdvHoriz", &s.AdvHoriz}, {"Frame", &s.Frame}};
    struct LengthKey {
        const char* name;
        float* field;
    } lengths[] = {{"LeftMarg", &s.LeftMarg},    {"RightMarg", &s.RightMarg},
                   {"TopMarg", &s.TopMarg},      {"BottomMarg", &s.BottomMarg},
                   {"xGutter", &s.xGutter},      {"yGutter", &s.yGutter},
                   {"FrameWidth", &s.FrameWidth}};
    for (const IntKey& k : ints)
        if (key == k.name) {
            *k.field = atoi(value.c_str());
            return true;
        }
    for (const LengthKey& k : lengths)
        if (key == k.name) {
            *k.field = static_cast<float>(atof(value.c_str()));
            return true;
        }
    for (int choice = 0; choice < kSidesChoices; ++choice)
        if (key == "Sides" && value == SidesName(choice)) {
            s.Sides = choice;
            return true;
        }
    if (key == "PaperSource" || key == "PaperSize") {
        char* field = key == "PaperSource" ? s.PaperSource : s.PaperSize;
        snprintf(field, key == "PaperSource" ? sizeof s.PaperSource : sizeof s.PaperSize, "%s",
                 value.c_str());
        return true;
    }
    if (key == "PrologName") {
        snprintf(s.PrologName, sizeof s.PrologName, "%s", value.c_str());
        return true;
    }
    return false;
}

// The page index as page selection leaves it for the pages asked for.
bool IndexPages(FileAnalysis* analysis, const std::set<long>& pages) {
    if (!AllocatePageIndex(static_cast<long>(analysis->pageCount)))
        return false;
    fseek(analysis->file, 0, SEEK_SET);
    char line[4096];
    long position = 0;
    while (fgets(line, sizeof line, analysis->file)) {
        long start = position;
        position = ftell(analysis->file);
        if (strncmp(line, "%%Page:", 7) != 0 || PageIndex.lastIndex >= PageIndex.capacity - 1)
            continue;
        if (PageIndex.lastIndex >= 0)
            PageIndex.entries[PageIndex.lastIndex].end = start;
        PageEntry& entry = PageIndex.entries[++PageIndex.lastIndex];
        entry.start = start;
        entry.selected = pages.count(PageIndex.lastIndex + 1) ? 1 : 0;
    }
    if (PageIndex.lastIndex >= 0)
        PageIndex.entries[PageIndex.lastIndex].end = position;
    return true;
}

const char* kKindNames[] = {"Binary", "Text", "PlainPostScript", "StructuredPostScript",
                            "EncapsulatedPostScript"};

} // namespace

int Run(int argc, char** argv);
static bool timing = false;

int main(int argc, char** argv) {
    if (argc > 3 && strcmp(argv[1], "time") == 0) {
        int runs = atoi(argv[2]);
        timing = true;
        double fastest = 1e30;
        argv[2] = argv[0];
        for (int run = 0; run < runs; ++run) {
            auto start = std::chrono::steady_clock::now();
            if (Run(argc - 2, argv + 2) != 0)
                return 1;
            std::chrono::duration<double, std::milli> took =
                std::chrono::steady_clock::now() - start;
            if (took.count() < fastest)
                fastest = took.count();
        }
        printf("%.3f\n", fastest);
        return 0;
    }
    return Run(argc, argv);
}

int Run(int argc, char** argv) {
    ResetKnownPrinters();
    SetDefaultSettings(&CurrentSettings);
    CurrentSettings.EnableTextPrint = 1;
    if (argc == 3 && strcmp(argv[1], "analyze") == 0) {
        FileAnalysis* analysis = AnalyzeFile(argv[2]);
        if (!analysis)
            return 2;
        if (!timing)
            printf("kind %s pages %u offset %lld length %lld first %lld box %g %g %g %g\n",
                   kKindNames[analysis->kind], analysis->pageCount, analysis->psOffset,
                   analysis->psLength, analysis->firstPageOffset, analysis->boundingBox[0],
                   analysis->boundingBox[1], analysis->boundingBox[2], analysis->boundingBox[3]);
        ReleaseFile(analysis, false);
        return 0;
    }
    bool raw = false;
    std::set<long> pages;
    std::string displayName;
    int i = 1;
    for (; i < argc - 2; ++i) {
        std::string arg = argv[i];
        size_t eq = arg.find('=');
        if (arg == "raw") {
            raw = true;
        } else if (eq != std::string::npos && arg.compare(0, eq, "pages") == 0) {
            for (const char* p = arg.c_str() + eq + 1; *p;) {
                pages.insert(strtol(p, const_cast<char**>(&p), 10));
                if (*p == ',')
                    ++p;
            }
        } else if (eq != std::string::npos && arg.compare(0, eq, "displayName") == 0) {
            displayName = arg.substr(eq + 1);
        } else if (eq == std::string::npos || !SetSetting(arg.substr(0, eq), arg.substr(eq + 1))) {
            fprintf(stderr, "compose_tool: unknown argument %s\n", argv[i]);
            return 2;
        }
    }
    if (argc - i != 2) {
        fprintf(stderr, "usage: compose_tool [Key=value...] [pages=2,4] [raw] input output\n");
        return 2;
    }
    FileAnalysis* analysis = AnalyzeFile(argv[i]);
    if (!analysis) {
        fprintf(stderr, "compose_tool: cannot open %s\n", argv[i]);
        return 2;
    }
    if (!displayName.empty())
        snprintf(analysis->displayName, sizeof analysis->displayName, "%s", displayName.c_str());
    if (!pages.empty()) {
        if (analysis->kind != StructuredPostScript || !IndexPages(analysis, pages)) {
            fprintf(stderr, "compose_tool: no pages to select in %s\n", argv[i]);
            return 2;
        }
    }
    bool selected = !pages.empty();
    bool ok;
    if (raw) {
        rawJob = fopen(argv[i + 1], "wb");
        ok = rawJob && ComposePostScript(analysis, selected);
        ok = rawJob && fclose(rawJob) == 0 && ok;
    } else {
        ok = OpenOutputFile(argv[i + 1]) && ComposePostScript(analysis, selected);
        CloseOutputFile();
    }
    ReleaseFile(analysis, false);
    FreePageIndex();
    if (!ok)
        fprintf(stderr, "compose_tool: composing %s failed\n", argv[i]);
    return ok ? 0 : 1;
}
