// The launcher-shortcut dialog as the general settings dialog opens it.
#pragma once

#include "../app/shell_state.h"

// Opens the shortcut dialog for the settings set `setName`; true when a
// shortcut was made, false when the user cancelled.
bool OpenShortcutDialog(WindowRef owner, const char* setName);
