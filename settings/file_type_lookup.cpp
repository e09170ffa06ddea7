// The settings set bound to a file's extension. Each set's FileTypes lists
// extensions with their dots, each followed by ";" (".txt;.log"); the search
// key is the file's extension with ";" appended, and any occurrence of it in
// a list counts, so lists written as "*.txt; *.LOG" work as well.
#include <cctype>
#include <cstring>

#include "../common/code_pages.h"
#include "../common/paths.h"
#include "profile.h"
#include "settings.h"

static const char kListSection[] = "Settings List";

// Appends ";" and lowers the case, byte by byte in the current locale.
static void MakeSearchText(const char* text, char* out, size_t size) {
    CopyText(out, size, text);
    AppendText(out, size, ";");
    for (char* p = out; *p; p++)
        *p = (char)tolower((unsigned char)*p);
}

static bool ReturnName(const char* name, char* setName, int size) {
    return CopyText(setName, size, name);
}

bool FindSettingsSetForFile(const char* path, char* setName, int size) {
    if (!FileTypeLookupEnabled)
        return false;
    PathParts parts;
    SplitPath(path, &parts);
    if (!parts.ext[0])
        return false;
    // The path is UTF-8 and the lists are in the ANSI code page of the
    // settings file: the extension is looked for in that code page. One with
    // a letter the code page lacks is in no list.
    char ext[kPathSize];
    bool listable = AnsiNameOf(parts.ext, ext, sizeof ext);
    char key[kPathSize + 1];
    MakeSearchText(ext, key, sizeof key);

    char types[kSettingTextSize + 1];
    MakeSearchText(CurrentSettings.FileTypes, types, sizeof types);
    FileTypeLookupEnabled = strlen(types) > 1;
    if (listable && strstr(types, key))
        return ReturnName(CurrentSetName, setName, size);

    // Only the names that fit into 255 bytes are visited, in file order.
    char names[kSettingTextSize];
    int length = ReadWholeKeyNames(kListSection, names, sizeof names, SettingsFileName);
    if (length < 2)
        return false;
    const char* end = names + length;
    for (const char* name = names; name < end && *name; name += strlen(name) + 1) {
        // A cut list could end in part of an extension and pick this set
        // for some other file type.
        char value[kSettingTextSize];
        ReadSettingText(name, "FileTypes", "", value, sizeof value);
        MakeSearchText(value, types, sizeof types);
        if (!FileTypeLookupEnabled && strlen(types) > 1)
            FileTypeLookupEnabled = true;
        if (listable && strstr(types, key))
            return ReturnName(name, setName, size);
    }
    return false;
}
