// Arbitrary definitions files through the reader and the lookup, then rows of
// the same bytes through the highlighter with the section found. The input is
// split at its first NUL byte: the file, then the rows (one per line).
#include "doubles/recorder.h"
#include "doubles/text_device_recorder.h"
#include "textfmt/definitions.h"
#include "textfmt/highlighting.h"
#include "textfmt/text_fonts.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

const char* kNames[] = {"a.c", "A.H", "x.py", "noext", "dir.d\\file", ".c", "a.", "a.|", ""};

void RemoveDefinitionsFile();

std::string DefinitionsFile() {
    static std::string path = "/tmp/textfmt_fuzz_pp_" + std::to_string(getpid()) + ".txt";
    static bool cleanup = atexit(RemoveDefinitionsFile) == 0;
    (void)cleanup;
    return path;
}

void RemoveDefinitionsFile() {
    remove(DefinitionsFile().c_str());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const uint8_t* split = static_cast<const uint8_t*>(memchr(data, 0, size));
    size_t fileSize = split ? static_cast<size_t>(split - data) : size;
    std::string rows =
        split ? std::string(reinterpret_cast<const char*>(split + 1), size - fileSize - 1)
              : std::string();

    PrettyPrintDefinition* list = nullptr;
    if (fileSize > 0) {
        FILE* file = fmemopen(const_cast<uint8_t*>(data), fileSize, "r");
        if (!file)
            return 0;
        list = ReadDefinitions(file);
        fclose(file);
    }
    for (const char* name : kNames)
        FindDefinitionIn(list, name);
    FreeDefinitionList(list);

    // The same file through the program's lookup and the highlighter.
    FILE* out = fopen(DefinitionsFile().c_str(), "wb");
    if (!out)
        return 0;
    fwrite(data, 1, fileSize, out);
    fclose(out);
    ResetDoubles();
    ResetTextDevice();
    DeviceScript.countOnly = true;
    DeviceScript.colours = 256;
    FreeDefinitions();
    SetDefinitionsPath(DefinitionsFile().c_str());
    FontRef body = CreateTextFont("Courier", 40, 0, false, false, false);
    for (const char* name : kNames) {
        if (!PrepareHighlighting(name, "Courier", 40, 24, body, RecorderDevice()))
            continue;
        size_t start = 0;
        while (start <= rows.size()) {
            size_t end = rows.find('\n', start);
            if (end == std::string::npos)
                end = rows.size();
            std::string row = rows.substr(start, end - start);
            if (!row.empty() && row[0] == '!')
                NoteTruncation(row.c_str(), static_cast<int>(row.size()),
                               static_cast<int>(row.size() / 2));
            DrawHighlightedRow(RecorderDevice(), 0, 0, row.c_str(), static_cast<int>(row.size()),
                               (row.size() & 1) != 0);
            start = end + 1;
        }
        break;
    }
    DeleteTextFont(body);
    FreeDefinitions();
    return 0;
}
