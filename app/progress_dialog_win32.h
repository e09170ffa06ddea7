// The progress window's part in the message pump: Tab, Enter and Escape
// work in it as in any dialog.
#pragma once

#include <windows.h>

bool ProgressDialogMessage(MSG* message);
