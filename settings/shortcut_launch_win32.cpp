// The one place that opens the launcher-shortcut dialog for the general
// settings dialog. This build has no shortcut dialog yet: the button says
// so instead of doing nothing, and the settings dialog stays open as after
// a cancelled shortcut.
#include "shortcut_launch.h"

#include "../common/messages.h"

bool OpenShortcutDialog(WindowRef, const char* setName) {
    ShowMessage(kTextShortcutsUnavailable, setName, 0, kMessageWarning);
    return false;
}
