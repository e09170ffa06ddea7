// Seam: the file system and process facts the portable code needs. Paths are
// the program's own (backslash separators, "C:" drives) in UTF-8, whatever
// their source: a path from the settings file or another ANSI source is
// converted where it is read (code_pages.h), and bytes that are not UTF-8 name
// no file.
// file_system_win32.cpp calls the Windows API; file_system_posix.cpp serves the native build and
// its tests, mapping backslashes to slashes.
#pragma once

#include <cstddef>
#include <cstdio>
#include <ctime>

// Names are UTF-8: up to three bytes for each of the system's 260 UTF-16 units.
struct FoundEntry {
    char name[781];     // long name as stored
    char shortName[40]; // 8.3 alias, empty when the entry has none
    bool isDirectory;
    bool readOnly;
};

struct DirectorySearch; // an open search, owned by the caller until closed

// Starts a search for `pattern` (wildcards "*" and "?" in its last component,
// matched without regard to case). Returns none when nothing matches.
DirectorySearch* OpenDirectorySearch(const char* pattern, FoundEntry* first);
bool NextDirectoryEntry(DirectorySearch* search, FoundEntry* entry);
void CloseDirectorySearch(DirectorySearch* search);

bool PathExists(const char* path); // file or directory
bool IsDirectory(const char* path);
long long FileSizeOf(const char* path); // 0 when the status cannot be read
bool ModificationTimeOf(const char* path, time_t* modified);
// These leave errno set on failure.
bool MakeDirectory(const char* path);
bool RemoveFile(const char* path);
bool RemoveEmptyDirectory(const char* path);
bool CopyFileReplacing(const char* from, const char* to);

// Full path of `path` (the platform's GetFullPathName); false when it does not fit.
bool FullPathOf(const char* path, char* out, size_t size);
// The shell's long form of a full path; false where the platform has no shell.
bool ShellLongPathOf(const char* fullPath, char* out, size_t size);
// Creates an empty file "rvl....tmp" in the temporary directory.
bool CreateTempFile(const char* prefix, char* out, size_t size);
bool WindowsDirectory(char* out, size_t size);
bool ProgramFilePath(char* out, size_t size);
// A path for a place that keeps the ANSI code page (the settings file, the
// program manager): the path itself when that code page holds it, else its
// short (8.3) form when that one does. False, with the path's stand-in text
// in `out`, when neither does.
bool AnsiPathOf(const char* path, char* out, size_t size);

// fopen by the program's path (file_access_win32.cpp / file_access_posix.cpp).
FILE* OpenStream(const char* path, const char* mode);
// Positions in an open stream as 64-bit numbers. The C library's fseek and
// ftell take a long, which Windows keeps at 32 bits even in 64-bit programs,
// so they fail on files of 2 GiB or more. SeekStream is fseek's success;
// StreamPosition is -1 on failure.
bool SeekStream(FILE* file, long long offset, int origin);
long long StreamPosition(FILE* file);
// True when the file can be opened while no other process has it open (the
// spooler leaves files that are still being written for a later scan).
bool CanOpenExclusively(const char* path);
