// The general settings dialog.
#pragma once

#include "../common/window_ref.h"

// Shows the dialog owned by `owner`; false when the user cancels it.
bool ShowSettingsDialog(WindowRef owner);
