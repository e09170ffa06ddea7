// Installing and removing the program ("/install", "/uninstall").
#pragma once

// Each returns the program's exit code.
int RunInstaller();
int RunUninstaller();
