// What an installation put where: the rules for the install directory, and the
// list of installed files that the settings file keeps in its "Install"
// section, from which the uninstaller removes those files and no others.
#pragma once

#include <string>
#include <vector>

typedef std::vector<std::string> FileNames;

// True for a full directory path: a drive with its root ("C:\...") or a
// network share ("\\server\share..."). Anything else would be taken from the
// current directory, and the links, the uninstall command and the
// associations would then name the program relative to wherever they run.
bool IsFullDirectoryPath(const char* directory);

// True when the two directories are one, however they are spelt: letter
// case, short (8.3) names, "." and "..", a closing backslash.
bool IsSameDirectory(const char* a, const char* b);

// The record's text: the names separated by "|".
std::string JoinFileNames(const FileNames& names);
// The names of a record. Only plain file names are taken: a name holding a
// path could make the uninstaller delete a file outside the directory.
FileNames SplitFileNames(const char* text);
// Adds `name` unless the list has it already (the letter case aside).
void AddFileName(FileNames* names, const char* name);

// The files of an installation made before the list was recorded: the
// program's file (as `programName` and by its usual name), the help, the
// read-me and the pretty-print definitions, which those installers copied.
FileNames UnrecordedInstallationFiles(const char* programName);

// Removes the named files from `directory` (a full path); a file that is not
// there counts as removed, and a help file's index, which the help viewer
// makes beside it, goes with it. The running program's own file cannot be
// deleted while it runs: when it is one of them it is left, and
// *runningIsInstalled says so, for the removal batch. False when any other
// file stays.
bool RemoveInstalledFiles(const char* directory, const FileNames& names, const char* runningProgram,
                          bool* runningIsInstalled);
