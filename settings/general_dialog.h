// The rules of the general settings dialog: the working copy of the settings
// that it and the format dialogs edit, the list of sets, previewing, saving,
// applying and deleting sets. The dialog procedure only passes on commands.
#pragma once

#include "settings.h"
#include "../common/window_ref.h"

#include <string>
#include <vector>

// What the dialog and the format dialogs edit; becomes the current settings
// only on Save or Apply.
extern Settings WorkingSettings;

// Names typed in the dialog are at most this long.
enum { kSetNameChars = 49, kSetNameSize = kSetNameChars + 1 };

// Opening: the working copy from the current settings; `startName` (at
// least kSetNameSize bytes) keeps the current set's name for Cancel.
void BeginSettingsDialog(char* startName, size_t size);
// The entries of the set list: the listed sets in file order, and the
// current set's name when none of them equals it (in any letter case).
std::vector<std::string> SettingsSetEntries();
// The check boxes, file types and printer from the working copy.
void FillGeneralDialog(WindowRef dialog);
// A set chosen in the list: read into the working copy and shown, dropping
// edits made so far; nothing happens when it is the current set already.
void PreviewSettingsSet(WindowRef dialog, const char* name);
// The name typed for Save, Apply, Delete or a shortcut: false, after
// message 55 when it is empty or 122 when the settings file cannot hold it
// as a set (StorableSetName, at most kSetNameChars characters).
bool AcceptSetName(const char* name);
// Save (writes the set) or Apply (only puts it in force): false when
// AcceptSetName refuses the name; the settings and the current name stay as
// they were then.
bool CommitSettingsDialog(WindowRef dialog, const char* name, bool save);
// Delete: true when the set was deleted (after messages 55, 122, 51 or the
// question 62 it is not); the default set is then current and shown.
bool DeleteSettingsCommand(WindowRef dialog, const char* name, char* startName, size_t size);
// Cancel: the current set's name as it was when the dialog opened.
void CancelSettingsDialog(const char* startName);
