// Arbitrary settings files through the portable reader and writer, and
// arbitrary FileTypes lists and file names through the lookup. The input is
// split at the first two NUL bytes: the file's bytes, a FileTypes text, and a
// file name to look up.
#include "doubles/recorder.h"
#include "settings/profile.h"
#include "settings/settings.h"
#include "common/file_system.h"
#include "common/paths.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string scratch;
std::string settingsFile;

void Prepare() {
    char name[kPathSize];
    if (!MakeTempFileName(name, sizeof name) || !RemoveFile(name) || !MakeDirectory(name))
        std::abort();
    scratch = name;
    settingsFile = scratch + "\\ravlen.ini";
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
    }

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
