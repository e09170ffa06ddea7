// Seam: the user's shell folders and shell links (".lnk" files), and the
// program manager of systems before Windows 4.0. shell_links_win32.cpp calls
// the shell; the tests link a recorder. Names and paths are UTF-8.
#pragma once

#include <cstddef>

// The path of the user's shell folder `folderName` ("Desktop", "SendTo",
// "Programs"); false when it cannot be read.
bool GetShellFolder(const char* folderName, char* path, size_t size);
// Makes the link <folder>\<linkName>.lnk (linkName may hold a "\" to reach a
// subfolder) to `target`, with `arguments` when not null and the icon.
bool CreateShellLink(const char* linkName, const char* folderName, const char* target,
                     const char* arguments, const char* iconPath, int iconIndex);
// True when <folder>\<linkName>.lnk was removed.
bool DeleteShellLink(const char* linkName, const char* folderName);
bool ShellLinkExists(const char* linkName, const char* folderName);

// True from Windows 4.0 on, where program groups are folders of links.
bool ShellHasFolders();
// One program manager command; false when the program manager cannot be
// reached. Whether it carried the command out is not known.
bool SendProgmanCommand(const char* command);
