// Paths taken apart and put together. Results marked "shared" point into one
// buffer per operation, overwritten by its next call.
#pragma once

#include <cstddef>
#include "bounded_text.h"

struct PathParts {
    char drive[kPathSize];
    char dir[kPathSize];
    char name[kPathSize];
    char ext[kPathSize];
};

// The split of the standard library's _splitpath: drive "C:", directory up to
// and including the last backslash, name up to its last dot, extension.
void SplitPath(const char* path, PathParts* parts);
// Drive, dir, name and ext, those whose word occurs in `selector`. Shared.
const char* PathComponents(const char* path, const char* selector);
const char* FileNameOf(const char* path);
const char* FirstWordComponents(const char* command, const char* selector);
const char* ProgramPathComponents(const char* selector);
// "Ravlen - name.ext". Shared.
const char* DocumentTitle(const char* path);
// "1023 bytes", "1.0 KB", "1.0 MB". Shared.
const char* FormatSize(long long bytes);
bool FileExists(const char* path);
long long FileSize(const char* path);
bool EnsureDirectory(const char* path);
bool CreateDirectoryPath(const char* path);
bool RemoveDirectoryTree(const char* path);
// A new empty file "rvl....tmp" in the temporary directory; false (and an
// empty name) when none could be made.
bool MakeTempFileName(char* out, size_t size);
// Full path with components spelled as on disk; "@..." and a name holding
// "*" or "?" unchanged, and the input unchanged when a component is missing. Shared (kPathSize).
// None for a path longer than kPathChars, which would not survive whole.
const char* ResolvePath(const char* path, bool longNames);

// Search state of FindNextMatchingFile; start with an empty output path and a
// null search. Read-only entries are never returned, directories only when
// asked, nor those whose full path does not fit `outSize`. The search is
// closed when it returns false; a caller that stops early closes it with
// EndMatchSearch.
struct MatchSearch;
bool FindNextMatchingFile(const char* pattern, char* outPath, size_t outSize, MatchSearch** search,
                          bool includeDirectories);
void EndMatchSearch(MatchSearch** search);
