// Arbitrary settings files through the portable reader and writer, and
// arbitrary FileTypes lists and file names through the lookup. Every set read
// also lays out and prints a short text on the recording printer, so a record
// that makes the page loop endless shows up as a timeout. The input is split
// at its first three NUL bytes: the file's bytes, a FileTypes text, a file name
// to look up, and the rest: raw numbers poured over the record (as a dialog
// might fill it) and the printer's quantities for one more job.
#include "common/stop_request.h"
#include "doubles/recorder.h"
#include "doubles/text_device_recorder.h"
#include "settings/profile.h"
#include "settings/settings.h"
#include "common/file_system.h"
#include "common/paths.h"
#include "textfmt/text_print.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string scratch;
std::string settingsFile;

FILE* textFile = nullptr;

void Prepare() {
    char name[kPathSize];
    if (!MakeTempFileName(name, sizeof name) || !RemoveFile(name) || !MakeDirectory(name))
        std::abort();
    scratch = name;
    settingsFile = scratch + "\\ravlen.ini";
    // Tabs, a page break, a long line and DOS characters: every row path.
    static const char text[] = "first\tline\n\fsecond \x81\x84 line\r\n"
                               "a rather long line that has to be wrapped or cut somewhere\n"
                               "\n\tlast\n";
    textFile = tmpfile();
    if (!textFile || fwrite(text, 1, sizeof text - 1, textFile) != sizeof text - 1)
        std::abort();
}

// A job with the current record; it must end, print at most a page per row
// position of the text, and release the device.
void PrintText() {
    ResetTextDevice();
    DeviceScript.startPageFailsAt = 10000; // a runaway page loop ends as a failure
    StopRequested = false;
    int result = PrintTextFile(textFile, "fuzz.txt", RecorderDevice(), 1, nullptr);
    if (result == kTextJobFailed ||
        std::find(DeviceEvents.begin(), DeviceEvents.end(), "delete dc") == DeviceEvents.end())
        std::abort();
    ResetTextDevice();
    CountTextPagesOn(textFile, RecorderDevice());
}

// Raw numbers over the record's numeric fields and the printer's quantities.
void PrintWithRawNumbers(const std::string& raw) {
    Settings& s = CurrentSettings;
    int* ints[] = {&s.Width,  &s.Height,    &s.SizeOp,   &s.Lines, &s.Chars,    &s.TabCount,
                   &s.LineNo, &s.WrapLines, &s.OEMTrans, &s.Frame, &s.AdvHoriz, &s.PprBndHd};
    float* lengths[] = {&s.LeftMarg, &s.TopMarg, &s.RightMarg, &s.BottomMarg,
                        &s.xGutter,  &s.yGutter, &s.FrameWidth};
    size_t at = 0;
    for (int* field : ints)
        if (at + sizeof *field <= raw.size()) {
            memcpy(field, raw.data() + at, sizeof *field);
            at += sizeof *field;
        }
    for (float* field : lengths)
        if (at + sizeof *field <= raw.size()) {
            memcpy(field, raw.data() + at, sizeof *field);
            at += sizeof *field;
        }
    TextDeviceScript device;
    int* quantities[] = {&device.dpiX, &device.dpiY, &device.offX,
                         &device.offY, &device.resX, &device.resY};
    for (int* field : quantities)
        if (at + sizeof *field <= raw.size()) {
            memcpy(field, raw.data() + at, sizeof *field);
            at += sizeof *field;
        }
    ResetTextDevice();
    DeviceScript = device;
    DeviceScript.startPageFailsAt = 10000;
    StopRequested = false;
    if (PrintTextFile(textFile, "fuzz.txt", RecorderDevice(), 1, nullptr) == kTextJobFailed)
        std::abort();
}

std::string NextPart(const uint8_t** data, size_t* size) {
    const uint8_t* end = static_cast<const uint8_t*>(memchr(*data, 0, *size));
    size_t length = end ? (size_t)(end - *data) : *size;
    std::string part(reinterpret_cast<const char*>(*data), length);
    size_t used = end ? length + 1 : length;
    *data += used;
    *size -= used;
    return part;
}

void CheckList(const char* names, int size) {
    // The list must end inside the buffer.
    const char* name = names;
    while (*name) {
        name += strlen(name) + 1;
        if (name >= names + size)
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (scratch.empty())
        Prepare();
    ResetDoubles();
    std::string contents = NextPart(&data, &size);
    std::string types = NextPart(&data, &size);
    std::string fileName = NextPart(&data, &size);
    std::string raw(reinterpret_cast<const char*>(data), size); // NUL bytes included
    // Fields that do not scan keep what the record held: start from the defaults.
    SetDefaultSettings(&CurrentSettings);

    if (FILE* stream = OpenStream(settingsFile.c_str(), "wb")) {
        fwrite(contents.data(), 1, contents.size(), stream);
        fclose(stream);
    }
    SelectSettingsFile(settingsFile.c_str());

    char names[1024];
    for (int bufferSize : {1024, 255, 17, 3, 2}) {
        memset(names, 'x', sizeof names);
        ListSettingsSets(names, bufferSize);
        CheckList(names, bufferSize);
    }
    ListSettingsSets(names, sizeof names);
    // A few sets are enough; each load reads every key.
    int loads = 0;
    for (const char* name = names; *name && loads < 4; name += strlen(name) + 1, loads++) {
        LoadSettingsSet(name);
        int type, onTop, left, top;
        if (ReadWindowPlacement(&type, &onTop, &left, &top) && onTop != 0 && onTop != 1)
            std::abort();
        if (strlen(CurrentSettings.HeaderStr) > 254 || strlen(CurrentSettings.FileTypes) > 254)
            std::abort();
        // Numbers read from a file stay in their ranges.
        const Settings& s = CurrentSettings;
        if (s.Width < 1 || s.Width > 100 || s.Height < 1 || s.Height > 100 || s.Lines < 2 ||
            s.Lines > 500 || s.Chars < 2 || s.Chars > 500 || !(s.LeftMarg >= 0.0f) ||
            !(s.FrameWidth <= 1.0f))
            std::abort();
        PrintText();
    }

    if (!raw.empty())
        PrintWithRawNumbers(raw);

    CopyText(CurrentSettings.FileTypes, sizeof CurrentSettings.FileTypes, types.c_str());
    FileTypeLookupEnabled = true;
    char found[256];
    FindSettingsSetForFile(fileName.c_str(), found, sizeof found);
    char small[4];
    FindSettingsSetForFile(fileName.c_str(), small, sizeof small);

    // The writer on the same file: a save under the fuzzed name, then its deletion.
    std::string setName = fileName.substr(0, 200);
    if (!setName.empty()) {
        CopyText(CurrentSetName, sizeof CurrentSetName, setName.c_str());
        TransferSettings(&CurrentSettings, kWriteSettings);
        Settings reread = CurrentSettings;
        TransferSettings(&reread, kReadSettings);
        DeleteSettingsSet(setName.c_str());
    }
    return 0;
}
