// Seam: the settings dialog's Shortcut button. The launcher shortcuts are the
// installer's (install/shortcut_dialog_win32.cpp); the settings dialog only
// names the set a shortcut is for.
#pragma once

#include "../common/window_ref.h"

// Shows the dialog owned by `owner` for the settings set `setName`; true when
// the shortcut was made (the storage directory is then kept as ShortcutDir).
bool ShowShortcutDialog(WindowRef owner, const char* setName);
