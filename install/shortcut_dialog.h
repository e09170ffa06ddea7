// The Create Shortcut dialog: a launcher for a settings set, and a link to it
// on the desktop or in the Send To folder.
#pragma once

#include "../app/shell_state.h"

// Shows the dialog owned by `owner` for the settings set `setName`; true when
// the shortcut was made (the storage directory is then kept as ShortcutDir).
bool ShowShortcutDialog(WindowRef owner, const char* setName);

// Writes the launcher the program carries to `path` with `command` in it.
bool WriteLauncher(const char* path, const char* command);
