// The general settings dialog.
#pragma once

#include "../app/shell_state.h"

// Shows the dialog owned by `owner`; false when the user cancels it.
bool ShowSettingsDialog(WindowRef owner);
