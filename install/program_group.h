// The program group: a folder of links in the "Programs" shell folder, or a
// program manager group on systems before Windows 4.0.
#pragma once

// A group name the installer accepts: not empty, not only dots and blanks,
// at most 254 characters, none of / \ : ? * " < > |. Anything else would name
// the "Programs" folder itself, a folder outside it, or nothing at all.
bool IsValidGroupName(const char* group);

bool CreateProgramGroup(const char* group);
// An item starting `target` with `arguments` (none: null); iconPath empty and
// iconNumber 0 for the target's own icon. Target and arguments stay apart, so
// a target whose path holds a blank is not split there.
bool AddProgramItem(const char* group, const char* target, const char* arguments,
                    const char* itemName, const char* iconPath, int iconNumber);
// Removes what the installer puts into the group (the items named by the
// texts in `itemIds`, ending with 0) and then the group when nothing else is
// left in it: a group may be a folder that held the user's own links before.
void DeleteProgramGroup(const char* group, const int* itemIds);

// What the group held before an installation attempt: a failed attempt
// takes away only what it added, and a working installation keeps its links.
struct GroupBefore {
    bool groupExisted;
    unsigned itemsExisted; // bit i: the item of itemIds[i] (the first 32)
};
// `recorded`: an installation recorded this group, so it is there; the
// program manager of older systems cannot be asked.
GroupBefore NoteProgramGroup(const char* group, const int* itemIds, bool recorded);
void UndoProgramGroup(const char* group, const int* itemIds, const GroupBefore& before);
