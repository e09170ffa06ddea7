#include "paths.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "file_system.h"
#include "messages.h"

// Both separators are honoured, as the platform's own path functions do; the
// native build's paths use the slash.
static bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

static const char* LastSeparator(const char* path) {
    const char* last = nullptr;
    for (const char* p = path; *p; ++p) {
        if (IsSeparator(*p))
            last = p;
    }
    return last;
}

static void CopyPart(char* dest, const char* begin, const char* end) {
    size_t length = static_cast<size_t>(end - begin);
    if (length >= kPathSize)
        length = kPathSize - 1;
    memcpy(dest, begin, length);
    dest[length] = '\0';
}

void SplitPath(const char* path, PathParts* parts) {
    const char* p = path ? path : "";
    parts->drive[0] = '\0';
    if (p[0] && p[1] == ':') {
        CopyPart(parts->drive, p, p + 2);
        p += 2;
    }
    const char* lastSeparator = LastSeparator(p);
    const char* nameStart = p;
    if (lastSeparator) {
        nameStart = lastSeparator + 1;
        CopyPart(parts->dir, p, nameStart);
    } else {
        parts->dir[0] = '\0';
    }
    const char* dot = strrchr(nameStart, '.');
    const char* end = nameStart + strlen(nameStart);
    if (!dot)
        dot = end;
    CopyPart(parts->name, nameStart, dot);
    CopyPart(parts->ext, dot, end);
}

static void JoinComponents(const PathParts& parts, const char* selector, char* out, size_t size) {
    out[0] = '\0';
    if (!selector)
        return;
    if (strstr(selector, "drive"))
        AppendText(out, size, parts.drive);
    if (strstr(selector, "dir"))
        AppendText(out, size, parts.dir);
    if (strstr(selector, "name"))
        AppendText(out, size, parts.name);
    if (strstr(selector, "ext"))
        AppendText(out, size, parts.ext);
}

const char* PathComponents(const char* path, const char* selector) {
    static char result[kPathSize];
    static PathParts parts;
    SplitPath(path, &parts);
    JoinComponents(parts, selector, result, sizeof result);
    return result;
}

const char* FileNameOf(const char* path) {
    return PathComponents(path, "name,ext");
}

const char* FirstWordComponents(const char* command, const char* selector) {
    char program[kPathSize];
    CopyText(program, sizeof program, command);
    char* blank = strchr(program, ' ');
    if (blank)
        *blank = '\0';
    return PathComponents(program, selector);
}

const char* ProgramPathComponents(const char* selector) {
    static char result[kPathSize];
    char program[kPathSize];
    if (!ProgramFilePath(program, sizeof program))
        program[0] = '\0';
    if (!selector || !selector[0]) {
        CopyText(result, sizeof result, program);
        return result;
    }
    static PathParts parts;
    SplitPath(program, &parts);
    JoinComponents(parts, selector, result, sizeof result);
    return result;
}

const char* DocumentTitle(const char* path) {
    static char result[kPathSize];
    FormatText(result, sizeof result, "%s - %s", "Ravlen", FileNameOf(path));
    return result;
}

const char* FormatSize(long long bytes) {
    static char result[64];
    char format[kLoadTextSize];
    if (bytes < 1024) {
        CopyText(format, sizeof format, LoadText(kTextSizeBytes));
        FormatText(result, sizeof result, format, static_cast<int>(bytes));
    } else if (bytes < 1048576) {
        CopyText(format, sizeof format, LoadText(kTextSizeKilobytes));
        FormatText(result, sizeof result, format, static_cast<double>(bytes) / 1024);
    } else {
        CopyText(format, sizeof format, LoadText(kTextSizeMegabytes));
        FormatText(result, sizeof result, format, static_cast<double>(bytes) / 1048576);
    }
    return result;
}

bool FileExists(const char* path) {
    return PathExists(path);
}

long long FileSize(const char* path) {
    return FileSizeOf(path);
}

bool EnsureDirectory(const char* path) {
    if (IsDirectory(path) || MakeDirectory(path))
        return true;
    ShowMessage(kTextCreateDirectoryFailed, path, errno, kMessageError);
    return false;
}

// Length of the "\\server\share" head of a UNC path, 0 for any other path.
static size_t UncHeadLength(const char* path) {
    if (!IsSeparator(path[0]) || !IsSeparator(path[1]))
        return 0;
    const char* p = path + 2;
    for (int part = 0; part < 2; ++part) {
        while (*p && !IsSeparator(*p))
            ++p;
        if (part == 0 && *p)
            ++p;
    }
    return static_cast<size_t>(p - path);
}

bool CreateDirectoryPath(const char* path) {
    char work[kPathSize];
    if (!CopyText(work, sizeof work, path)) {
        // A cut path would make directories nobody asked for.
        ShowMessage(kTextCreateDirectoryFailed, path, ENAMETOOLONG, kMessageError);
        return false;
    }
    size_t length = strlen(work);
    if (length > 0 && IsSeparator(work[length - 1]))
        work[--length] = '\0';

    // The first separator belongs to the drive or the root. On a UNC path the
    // server and share cannot be created, so they are passed over too.
    char* first = work;
    while (*first && !IsSeparator(*first))
        ++first;
    if (!*first)
        return EnsureDirectory(work);
    size_t head = UncHeadLength(work);
    for (char* p = first + 1; *p; ++p) {
        if (!IsSeparator(*p) || static_cast<size_t>(p - work) <= head)
            continue;
        char separator = *p;
        *p = '\0';
        bool made = EnsureDirectory(work);
        *p = separator;
        if (!made)
            return false;
    }
    return EnsureDirectory(work);
}

static bool IsDotEntry(const char* name) {
    return strcmp(name, ".") == 0 || strcmp(name, "..") == 0;
}

// A path that names no directory of its own but a whole drive or share:
// empty (which would search the current drive's root), a root, a drive
// letter alone, or a UNC share.
static bool IsRootPath(const char* path) {
    const char* rest = path;
    size_t head = UncHeadLength(path);
    if (head > 0)
        rest = path + head;
    else if (path[0] && path[1] == ':')
        rest = path + 2;
    while (IsSeparator(*rest))
        ++rest;
    return *rest == '\0';
}

bool RemoveDirectoryTree(const char* path) {
    // Removing "everything below" a root would empty a whole drive.
    if (!path || IsRootPath(path))
        return false;
    char pattern[kPathSize];
    if (!CopyText(pattern, sizeof pattern, path))
        return false;
    size_t length = strlen(pattern);
    if (length == 0 || !IsSeparator(pattern[length - 1]))
        AppendText(pattern, sizeof pattern, "\\");
    if (!AppendText(pattern, sizeof pattern, "*.*"))
        return false;

    bool ok = true;
    char entry[kPathSize] = "";
    MatchSearch* search = nullptr;
    while (FindNextMatchingFile(pattern, entry, sizeof entry, &search, true)) {
        const char* separator = LastSeparator(entry);
        if (IsDotEntry(separator ? separator + 1 : entry))
            continue;
        bool removed = IsDirectory(entry) ? RemoveDirectoryTree(entry) : RemoveFile(entry);
        if (!removed)
            ok = false;
    }
    return RemoveEmptyDirectory(path) && ok;
}

bool MakeTempFileName(char* out, size_t size) {
    // Reported as it is: a caller that goes on with an empty name would only
    // fail later, at a place that cannot say why.
    if (CreateTempFile("rvl", out, size))
        return true;
    if (size > 0)
        out[0] = '\0';
    return false;
}

static bool HasWildcard(const char* text) {
    return strpbrk(text, "*?") != nullptr;
}

// Rebuilds `full` component by component with each name as the directory
// holds it. False when a component is not found.
static bool SpellAsOnDisk(const char* full, bool longNames, char* out, size_t size) {
    const char* separatorText = strchr(full, '/') && !strchr(full, '\\') ? "/" : "\\";
    size_t head = UncHeadLength(full);
    if (head == 0 && full[0] && full[1] == ':')
        head = 2;
    char rebuilt[kPathSize];
    CopyPart(rebuilt, full, full + head);

    const char* p = full + head;
    bool any = false;
    while (*p) {
        while (IsSeparator(*p))
            ++p;
        const char* end = p;
        while (*end && !IsSeparator(*end))
            ++end;
        if (end == p)
            break;
        char component[kPathSize];
        CopyPart(component, p, end);
        if (HasWildcard(component) || !AppendText(rebuilt, sizeof rebuilt, separatorText))
            return false;
        char probe[kPathSize];
        CopyText(probe, sizeof probe, rebuilt);
        if (!AppendText(probe, sizeof probe, component))
            return false;
        FoundEntry entry;
        DirectorySearch* search = OpenDirectorySearch(probe, &entry);
        if (!search)
            return false;
        CloseDirectorySearch(search);
        bool useLong = longNames || entry.shortName[0] == '\0';
        if (!AppendText(rebuilt, sizeof rebuilt, useLong ? entry.name : entry.shortName))
            return false;
        any = true;
        p = end;
    }
    if (!any)
        return CopyText(out, size, full);
    size_t length = strlen(full);
    if (IsSeparator(full[length - 1]))
        AppendText(rebuilt, sizeof rebuilt, separatorText);
    return CopyText(out, size, rebuilt);
}

const char* ResolvePath(const char* path, bool longNames) {
    static char result[kPathSize];
    // Cut, the path could name another file.
    if (strlen(path) > kPathChars)
        return nullptr;
    char full[kPathSize];
    char resolved[kPathSize];
    // A name holding "*" or "?" names no file of its own; the shell would
    // take it for a pattern and answer with some file that matches it.
    if (!strchr(path, '@') && !HasWildcard(path) && FullPathOf(path, full, sizeof full)) {
        if (longNames && ShellLongPathOf(full, resolved, sizeof resolved)) {
            CopyText(result, sizeof result, resolved);
            return result;
        }
        if (SpellAsOnDisk(full, longNames, resolved, sizeof resolved)) {
            CopyText(result, sizeof result, resolved);
            return result;
        }
    }
    if (result != path)
        CopyText(result, sizeof result, path);
    return result;
}

struct MatchSearch {
    DirectorySearch* directory;
};

static bool Wanted(const FoundEntry& entry, bool includeDirectories) {
    return !entry.readOnly && (includeDirectories || !entry.isDirectory);
}

// The drive and directory of the pattern, which also holds the matched name,
// followed by the name. `out` is left alone when the whole does not fit.
static bool JoinMatch(const char* pattern, const char* name, char* out, size_t size) {
    PathParts parts;
    SplitPath(pattern, &parts);
    if (strlen(parts.drive) + strlen(parts.dir) + strlen(name) >= size)
        return false;
    CopyText(out, size, parts.drive);
    AppendText(out, size, parts.dir);
    AppendText(out, size, name);
    return true;
}

bool FindNextMatchingFile(const char* pattern, char* outPath, size_t outSize, MatchSearch** search,
                          bool includeDirectories) {
    FoundEntry entry;
    bool found;
    if (outPath[0] == '\0') {
        EndMatchSearch(search);
        DirectorySearch* directory = OpenDirectorySearch(pattern, &entry);
        if (!directory)
            return false;
        *search = static_cast<MatchSearch*>(malloc(sizeof(MatchSearch)));
        if (!*search) {
            CloseDirectorySearch(directory);
            return false;
        }
        (*search)->directory = directory;
        found = true;
    } else if (*search) {
        found = NextDirectoryEntry((*search)->directory, &entry);
    } else {
        return false; // the search has already ended
    }
    // A name whose full path does not fit is passed over: cut, it would name
    // another file, which the spooler would print and delete.
    while (found && (!Wanted(entry, includeDirectories) ||
                     !JoinMatch(pattern, entry.name, outPath, outSize)))
        found = NextDirectoryEntry((*search)->directory, &entry);
    if (!found) {
        EndMatchSearch(search);
        return false;
    }
    return true;
}

void EndMatchSearch(MatchSearch** search) {
    if (!*search)
        return;
    CloseDirectorySearch((*search)->directory);
    free(*search);
    *search = nullptr;
}
