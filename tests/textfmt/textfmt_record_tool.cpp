// Prints every drawing call a text job makes on the recorder, one to a line,
// so that two revisions of the formatter can be compared on the same files
// and settings (bench/textfmt_compare.sh).
//
//   textfmt_record_tool [--definitions PP.TXT] [--as NAME] [--copies N] [--sheets]
//                       FILE [KEY=VALUE]...
//
// The settings start at their defaults; each KEY=VALUE changes one (the
// settings file's key names), and "Colours=N" gives the fake printer's
// colours. --as gives the name the job shows and picks the definition by;
// --sheets draws the sheets as the preview does, last one first, instead of
// printing.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "../doubles/recorder.h"
#include "../doubles/text_device_recorder.h"
#include "app/shell_state.h"
#include "settings/settings.h"
#include "textfmt/definitions.h"
#include "textfmt/text_print.h"
#include "textfmt/text_sheets.h"

namespace {

struct NumberKey {
    const char* name;
    int Settings::*field;
};

const NumberKey kNumberKeys[] = {
    {"Width", &Settings::Width},
    {"Height", &Settings::Height},
    {"AdvHoriz", &Settings::AdvHoriz},
    {"Frame", &Settings::Frame},
    {"SizeOp", &Settings::SizeOp},
    {"Lines", &Settings::Lines},
    {"Chars", &Settings::Chars},
    {"TabCount", &Settings::TabCount},
    {"LineNo", &Settings::LineNo},
    {"WrapLines", &Settings::WrapLines},
    {"PrettyPrint", &Settings::PrettyPrint},
    {"OEMTrans", &Settings::OEMTrans},
    {"PprBndHd", &Settings::PprBndHd},
};

struct TextKey {
    const char* name;
    char (Settings::*field)[kSettingTextSize];
};

const TextKey kTextKeys[] = {
    {"HeaderStr", &Settings::HeaderStr},
    {"FooterStr", &Settings::FooterStr},
    {"FontName", &Settings::FontName},
};

// False for a key this tool does not know.
bool ApplySetting(const char* assignment) {
    const char* equals = strchr(assignment, '=');
    if (!equals)
        return false;
    size_t length = static_cast<size_t>(equals - assignment);
    const char* value = equals + 1;
    auto named = [&](const char* name) {
        return strlen(name) == length && !strncmp(name, assignment, length);
    };
    if (named("Colours")) {
        DeviceScript.colours = atoi(value);
        return true;
    }
    for (const NumberKey& key : kNumberKeys) {
        if (named(key.name)) {
            CurrentSettings.*key.field = atoi(value);
            return true;
        }
    }
    for (const TextKey& key : kTextKeys) {
        if (named(key.name)) {
            CopyText(CurrentSettings.*key.field, kSettingTextSize, value);
            return true;
        }
    }
    return false;
}

bool DrawSheets(FILE* file, const char* name) {
    TextSheets* sheets = OpenTextSheets(file, name, RecorderDevice(), CurrentSettings);
    if (!sheets)
        return false;
    while (!WalkTextSheets(sheets, 4)) {
    }
    bool drawn = true;
    for (int i = TextSheetCount(sheets) - 1; i >= 0 && drawn; --i)
        drawn = DrawTextSheet(sheets, i, RecorderDevice());
    CloseTextSheets(sheets);
    return drawn;
}

} // namespace

int main(int argc, char** argv) {
    ResetDoubles();
    ResetTextDevice();
    DeviceScript.logCalls = true;
    SetDefaultSettings(&CurrentSettings);
    const char* path = nullptr;
    const char* name = nullptr;
    int copies = 1;
    bool sheets = false;
    for (int i = 1; i < argc; ++i) {
        bool hasValue = i + 1 < argc;
        if (!strcmp(argv[i], "--definitions") && hasValue)
            SetDefinitionsPath(argv[++i]);
        else if (!strcmp(argv[i], "--as") && hasValue)
            name = argv[++i];
        else if (!strcmp(argv[i], "--copies") && hasValue)
            copies = atoi(argv[++i]);
        else if (!strcmp(argv[i], "--sheets"))
            sheets = true;
        else if (!path && argv[i][0] != '-' && !strchr(argv[i], '='))
            path = argv[i];
        else if (!ApplySetting(argv[i])) {
            fprintf(stderr, "%s: unknown argument %s\n", argv[0], argv[i]);
            return 2;
        }
    }
    if (!path) {
        fprintf(stderr,
                "usage: %s [--definitions PP.TXT] [--as NAME] [--copies N] [--sheets] "
                "FILE [KEY=VALUE]...\n",
                argv[0]);
        return 2;
    }
    FILE* file = fopen(path, "rb");
    if (!file)
        return 1;
    if (!name)
        name = path;
    int result = sheets ? DrawSheets(file, name)
                        : PrintTextFile(file, name, RecorderDevice(), copies, nullptr);
    fclose(file);
    for (const std::string& call : DeviceCalls)
        printf("%s\n", call.c_str());
    printf("result %d\n", result);
    if (!sheets)
        printf("logical pages %d\n", LastTextLayout().logicalPages);
    return 0;
}
