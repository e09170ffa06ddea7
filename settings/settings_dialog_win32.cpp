// The general settings dialog.
#include "settings_dialog.h"

#include "settings.h"
#include "../install/shortcut_dialog.h"

// The dialog itself is not built yet. Its callers show it before printing
// and go on when it is confirmed; answering "confirmed" without showing
// anything is the same as the user pressing OK without editing, so the
// settings stay exactly as they are. Answering "cancelled" instead would stop
// every drop and command line with EnablePrefsDD on from printing at all.
// Until the dialog has its Shortcut button, it offers the shortcut dialog
// for the current set in its place.
bool ShowSettingsDialog(WindowRef owner) {
    ShowShortcutDialog(owner, CurrentSetName);
    return true;
}
