// The program group (see program_group.h).
#include "program_group.h"

#include <cstring>

#include "shell_links.h"
#include "../common/bounded_text.h"
#include "../common/file_system.h"
#include "../common/messages.h"
#include "../common/paths.h"

namespace {

const char kProgramsFolder[] = "Programs";

bool ProgmanCommand(const char* format, const char* group) {
    char command[kPathSize];
    return FormatText(command, sizeof command, format, group) && SendProgmanCommand(command);
}

bool GroupFolder(const char* group, char* path, size_t size) {
    char programs[kPathSize];
    return IsValidGroupName(group) && GetShellFolder(kProgramsFolder, programs, sizeof programs) &&
           FormatText(path, size, "%s\\%s", programs, group);
}

bool ItemLinkName(const char* group, int itemId, char* linkName, size_t size) {
    return FormatText(linkName, size, "%s\\%s", group, LoadText(itemId));
}

} // namespace

bool IsValidGroupName(const char* group) {
    size_t length = std::strlen(group);
    if (length == 0 || length >= kSettingTextSize || std::strpbrk(group, "\\/?*|<>:\""))
        return false;
    return std::strspn(group, ". ") < length;
}

bool CreateProgramGroup(const char* group) {
    if (!ShellHasFolders())
        return ProgmanCommand("[CreateGroup(\"%s\", 0)]", group);
    char folder[kPathSize];
    return GroupFolder(group, folder, sizeof folder) && CreateDirectoryPath(folder);
}

bool AddProgramItem(const char* group, const char* target, const char* arguments,
                    const char* itemName, const char* iconPath, int iconNumber) {
    if (!ShellHasFolders()) {
        char text[kPathSize * 2];
        return ProgmanCommand("[ShowGroup(\"%s\", 1, 0)]", group) &&
               FormatText(text, sizeof text, "[AddItem(%s%s%s, \"%s\", \"%s\", %d)]", target,
                          arguments ? " " : "", arguments ? arguments : "", itemName, iconPath,
                          iconNumber) &&
               SendProgmanCommand(text);
    }
    char linkName[kPathSize];
    return FormatText(linkName, sizeof linkName, "%s\\%s", group, itemName) &&
           CreateShellLink(linkName, kProgramsFolder, target, arguments, iconPath, iconNumber);
}

void DeleteProgramGroup(const char* group, const int* itemIds) {
    UndoProgramGroup(group, itemIds, GroupBefore{false, 0});
}

GroupBefore NoteProgramGroup(const char* group, const int* itemIds, bool recorded) {
    GroupBefore before = {recorded, 0};
    char folder[kPathSize];
    if (!ShellHasFolders() || !GroupFolder(group, folder, sizeof folder))
        return before;
    before.groupExisted = IsDirectory(folder);
    char linkName[kPathSize];
    for (unsigned i = 0; i < 32 && itemIds[i]; ++i) {
        if (ItemLinkName(group, itemIds[i], linkName, sizeof linkName) &&
            ShellLinkExists(linkName, kProgramsFolder))
            before.itemsExisted |= 1u << i;
    }
    return before;
}

void UndoProgramGroup(const char* group, const int* itemIds, const GroupBefore& before) {
    if (!ShellHasFolders()) {
        if (!before.groupExisted)
            ProgmanCommand("[DeleteGroup(\"%s\", 0)]", group);
        return;
    }
    char folder[kPathSize];
    if (!GroupFolder(group, folder, sizeof folder))
        return;
    char linkName[kPathSize];
    for (unsigned i = 0; itemIds[i]; ++i) {
        bool existed = i < 32 && (before.itemsExisted & (1u << i));
        if (!existed && ItemLinkName(group, itemIds[i], linkName, sizeof linkName))
            DeleteShellLink(linkName, kProgramsFolder);
    }
    if (!before.groupExisted)
        RemoveEmptyDirectory(folder);
}
