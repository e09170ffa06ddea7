// Registering and removing the program's file associations.
#include "associations.h"

#include <cstring>

#include "class_registry.h"
#include "../common/bounded_text.h"

const char kProgramClass[] = "Ravlen";

namespace {

const char kClassDescription[] = "Printer File";
// Beside the binding, the class the extension had before it; the binding's
// removal puts that class back.
const char kEarlierClass[] = "RavlenEarlierClass";

// Keeps the extension's present class unless it is the program's own (a
// second installation must not take its own binding for the earlier one).
bool KeepEarlierClass(const char* ext) {
    char value[kSettingTextSize];
    if (!ReadClassDefault(ext, value, sizeof value) || !value[0] || IsOwnAssociation(value))
        return true;
    return WriteClassValue(ext, kEarlierClass, value);
}

// Removes the binding of `key`; true when the key itself is gone, so the next
// key has moved to its index.
bool Unbind(const char* key) {
    char earlier[kSettingTextSize];
    if (ReadClassValue(key, kEarlierClass, earlier, sizeof earlier) && earlier[0] &&
        !IsOwnAssociation(earlier)) {
        if (WriteClassDefault(key, earlier))
            DeleteClassValue(key, kEarlierClass);
        return false;
    }
    if (ClassKeyHoldsMore(key)) {
        DeleteClassDefault(key);
        return false;
    }
    return DeleteClassKeyTree(key);
}

} // namespace

bool IsOwnAssociation(const char* value) {
    return CompareNoCase(value, kProgramClass) == 0;
}

void RegisterFileTypes(const char* extensions, const char* openCommand, const char* icon) {
    for (const char* ext = extensions; *ext; ext += std::strlen(ext) + 1) {
        // An earlier class that cannot be kept is not overwritten.
        if (!KeepEarlierClass(ext) || !WriteClassDefault(ext, kProgramClass))
            break;
    }
    char key[kSettingTextSize];
    WriteClassDefault(kProgramClass, kClassDescription);
    FormatText(key, sizeof key, "%s\\shell\\open\\command", kProgramClass);
    WriteClassDefault(key, openCommand);
    FormatText(key, sizeof key, "%s\\DefaultIcon", kProgramClass);
    WriteClassDefault(key, icon);
}

void RemoveFileTypes() {
    char name[kSettingTextSize];
    char value[kSettingTextSize];
    // The index moves on past every key that stays, and each key that goes
    // shortens the list: the scan ends whatever the registry refuses.
    unsigned index = 0;
    while (ClassKeyNameAt(index, name, sizeof name)) {
        bool gone =
            ReadClassDefault(name, value, sizeof value) && IsOwnAssociation(value) && Unbind(name);
        if (!gone)
            ++index;
    }
    DeleteClassKeyTree(kProgramClass);
}
