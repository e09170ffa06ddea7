// Installing and removing the program. Neither is built yet, so both say so
// and end with a failure code: a script that runs "ravlen /install" must not
// take it for an installation that happened.
#include "setup.h"

#include "../common/messages.h"

int RunInstaller() {
    ShowMessage(kTextInstallFailed, "", 0, kMessageError);
    return 1;
}

int RunUninstaller() {
    ShowMessage(kTextNotInstalled, "", 0, kMessageError);
    return 1;
}
