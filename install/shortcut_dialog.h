// The Create Shortcut dialog: a launcher for a settings set, and a link to it
// on the desktop or in the Send To folder.
#pragma once

#include "../settings/shortcut_request.h"

// ShowShortcutDialog (settings/shortcut_request.h) is defined here.

// Writes the launcher the program carries to `path` with `command` in it.
bool WriteLauncher(const char* path, const char* command);
