// Help viewer double: records which viewer was asked for what.
#include "app/help_viewer.h"
#include "help_viewer_recorder.h"
#include "recorder.h"

bool BrowserStarts = true;

void ResetHelpViewer() {
    BrowserStarts = true;
}

bool RunWinHelp(WindowRef, const char* helpFile, int context) {
    RecordedCalls.push_back(std::string("winhelp ") + helpFile + " " + std::to_string(context));
    return true;
}

void QuitWinHelp(WindowRef) {
    RecordedCalls.push_back("winhelp quit");
}

bool OpenUrlInBrowser(WindowRef, const char* url) {
    RecordedCalls.push_back(std::string("browser ") + url);
    return BrowserStarts;
}
