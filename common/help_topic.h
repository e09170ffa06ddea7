// Seam: the Help button of every dialog. The shell opens the help file or the
// help page (app/help.cpp) at the dialog's topic.
#pragma once

#include "window_ref.h"

// Topic numbers of the help file; the HTML page has an anchor "context-N"
// for each.
enum HelpContext {
    kHelpMainWindow = 0,
    kHelpPageSelection = 1,
    kHelpAbout = 2,
    kHelpSettings = 3,
    kHelpTextSettings = 4,
    kHelpPostScriptSettings = 5,
    kHelpShortcut = 6,
    kHelpNUpSettings = 7,
    kHelpConversionSettings = 8,
    kHelpMenu = 9,
    kHelpPrinterPreferences = 10
};

// Opens help at `context`. False, already reported, when there is no help
// file beside the program or the browser cannot be started; a failure of
// the WinHelp viewer is reported by the viewer itself.
bool ShowHelpTopic(WindowRef owner, int context);
