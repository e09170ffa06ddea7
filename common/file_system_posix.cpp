// The native build's file system: the program's backslash paths are mapped to
// slashes on the way in; names are matched without regard to case, as the
// program expects of its platform. Paths handed back are native.
#include "file_system.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include "bounded_text.h"
#include "code_pages.h"

enum { kNativePathSize = 4096 };

static void NativePath(const char* path, char* out) {
    CopyText(out, kNativePathSize, path);
    for (char* p = out; *p; ++p) {
        if (*p == '\\')
            *p = '/';
    }
}

static bool MatchesFrom(const char* pattern, const char* name) {
    for (; *pattern; ++pattern, ++name) {
        if (*pattern == '*') {
            for (const char* rest = name;; ++rest) {
                if (MatchesFrom(pattern + 1, rest))
                    return true;
                if (!*rest)
                    return false;
            }
        }
        if (!*name)
            return false;
        if (*pattern != '?' && tolower(static_cast<unsigned char>(*pattern)) !=
                                   tolower(static_cast<unsigned char>(*name)))
            return false;
    }
    return *name == '\0';
}

// "*" any run, "?" one character; a trailing ".*" also matches names without
// an extension, so "*.*" matches every name.
static bool Matches(const char* pattern, const char* name) {
    if (MatchesFrom(pattern, name))
        return true;
    size_t length = strlen(pattern);
    if (length >= 2 && strcmp(pattern + length - 2, ".*") == 0 && !strchr(name, '.')) {
        char shorter[kNativePathSize];
        CopyText(shorter, sizeof shorter, pattern);
        shorter[length - 2] = '\0';
        return MatchesFrom(shorter, name);
    }
    return false;
}

struct DirectorySearch {
    DIR* dir;
    char directory[kNativePathSize];
    char pattern[kNativePathSize];
};

static bool FillEntry(const DirectorySearch* search, const char* name, FoundEntry* entry) {
    char path[kNativePathSize];
    FormatText(path, sizeof path, "%s/%s", search->directory, name);
    struct stat status;
    if (stat(path, &status) != 0 || !CopyText(entry->name, sizeof entry->name, name))
        return false;
    entry->shortName[0] = '\0';
    entry->isDirectory = S_ISDIR(status.st_mode);
    entry->readOnly = (status.st_mode & S_IWUSR) == 0;
    return true;
}

bool NextDirectoryEntry(DirectorySearch* search, FoundEntry* entry) {
    while (struct dirent* found = readdir(search->dir)) {
        if (Matches(search->pattern, found->d_name) && FillEntry(search, found->d_name, entry))
            return true;
    }
    return false;
}

DirectorySearch* OpenDirectorySearch(const char* pattern, FoundEntry* first) {
    DirectorySearch* search = static_cast<DirectorySearch*>(malloc(sizeof(DirectorySearch)));
    if (!search)
        return nullptr;
    char native[kNativePathSize];
    NativePath(pattern, native);
    char* slash = strrchr(native, '/');
    if (!slash) {
        CopyText(search->directory, sizeof search->directory, ".");
        CopyText(search->pattern, sizeof search->pattern, native);
    } else {
        CopyText(search->pattern, sizeof search->pattern, slash + 1);
        if (slash == native)
            slash[1] = '\0'; // the root keeps its slash
        else
            *slash = '\0';
        CopyText(search->directory, sizeof search->directory, native);
    }
    search->dir = search->pattern[0] ? opendir(search->directory) : nullptr;
    if (search->dir && NextDirectoryEntry(search, first))
        return search;
    CloseDirectorySearch(search);
    return nullptr;
}

void CloseDirectorySearch(DirectorySearch* search) {
    if (!search)
        return;
    if (search->dir)
        closedir(search->dir);
    free(search);
}

bool PathExists(const char* path) {
    char native[kNativePathSize];
    NativePath(path, native);
    return access(native, F_OK) == 0;
}

bool IsDirectory(const char* path) {
    char native[kNativePathSize];
    NativePath(path, native);
    struct stat status;
    return stat(native, &status) == 0 && S_ISDIR(status.st_mode);
}

long long FileSizeOf(const char* path) {
    char native[kNativePathSize];
    NativePath(path, native);
    struct stat status;
    return stat(native, &status) == 0 ? static_cast<long long>(status.st_size) : 0;
}

bool ModificationTimeOf(const char* path, time_t* modified) {
    char native[kNativePathSize];
    NativePath(path, native);
    struct stat status;
    if (stat(native, &status) != 0)
        return false;
    *modified = status.st_mtime;
    return true;
}

// off_t is 64 bits on every system the native build serves; a 32-bit one
// would need _FILE_OFFSET_BITS=64 before the first include.
static_assert(sizeof(off_t) >= 8, "file positions must hold 64 bits");

bool SeekStream(FILE* file, long long offset, int origin) {
    return fseeko(file, static_cast<off_t>(offset), origin) == 0;
}

long long StreamPosition(FILE* file) {
    return static_cast<long long>(ftello(file));
}

bool MakeDirectory(const char* path) {
    char native[kNativePathSize];
    NativePath(path, native);
    return mkdir(native, 0777) == 0;
}

bool RemoveFile(const char* path) {
    char native[kNativePathSize];
    NativePath(path, native);
    return unlink(native) == 0;
}

bool RemoveEmptyDirectory(const char* path) {
    char native[kNativePathSize];
    NativePath(path, native);
    return rmdir(native) == 0;
}

bool CopyFileReplacing(const char* from, const char* to) {
    char nativeFrom[kNativePathSize];
    char nativeTo[kNativePathSize];
    NativePath(from, nativeFrom);
    NativePath(to, nativeTo);
    FILE* in = fopen(nativeFrom, "rb");
    if (!in)
        return false;
    FILE* out = fopen(nativeTo, "wb");
    if (!out) {
        int error = errno;
        fclose(in);
        errno = error;
        return false;
    }
    char block[16384];
    bool ok = true;
    size_t count;
    while (ok && (count = fread(block, 1, sizeof block, in)) > 0)
        ok = fwrite(block, 1, count, out) == count;
    int error = errno;
    if (ferror(in))
        ok = false;
    if (fclose(out) != 0)
        ok = false;
    fclose(in);
    if (!ok && errno == 0)
        errno = error ? error : EIO;
    return ok;
}

// Joins `path` to the current directory and folds "." and ".." away, without
// asking whether anything exists, as the platform's full-path function does.
bool FullPathOf(const char* path, char* out, size_t size) {
    char native[kNativePathSize];
    NativePath(path, native);
    char joined[2 * kNativePathSize];
    if (native[0] == '/') {
        CopyText(joined, sizeof joined, native);
    } else {
        char cwd[kNativePathSize];
        if (!getcwd(cwd, sizeof cwd))
            return false;
        FormatText(joined, sizeof joined, "%s/%s", cwd, native);
    }
    char result[2 * kNativePathSize] = "";
    size_t length = 0;
    const char* p = joined;
    while (*p) {
        while (*p == '/')
            ++p;
        const char* end = p;
        while (*end && *end != '/')
            ++end;
        size_t part = static_cast<size_t>(end - p);
        bool current = part == 1 && p[0] == '.';
        if (part == 2 && p[0] == '.' && p[1] == '.') {
            while (length > 0 && result[length - 1] != '/')
                --length;
            if (length > 0)
                --length;
            result[length] = '\0';
        } else if (part > 0 && !current) {
            result[length++] = '/';
            memcpy(result + length, p, part);
            length += part;
            result[length] = '\0';
        }
        p = end;
    }
    if (length == 0)
        CopyText(result, sizeof result, "/");
    else if (joined[strlen(joined) - 1] == '/')
        AppendText(result, sizeof result, "/");
    return CopyText(out, size, result);
}

bool ShellLongPathOf(const char*, char*, size_t) {
    return false;
}

bool CreateTempFile(const char* prefix, char* out, size_t size) {
    const char* directory = getenv("TMPDIR");
    if (!directory || !directory[0])
        directory = "/tmp";
    char name[kNativePathSize];
    if (!FormatText(name, sizeof name, "%s/%sXXXXXX.tmp", directory, prefix))
        return false;
    int fd = mkstemps(name, 4);
    if (fd < 0)
        return false;
    close(fd);
    if (!CopyText(out, size, name)) {
        unlink(name);
        return false;
    }
    return true;
}

bool WindowsDirectory(char* out, size_t size) {
    const char* directory = getenv("RAVLEN_WINDIR");
    return CopyText(out, size, directory && directory[0] ? directory : "/tmp");
}

bool ProgramFilePath(char* out, size_t size) {
    char path[kNativePathSize];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length < 0)
        return false;
    path[length] = '\0';
    return CopyText(out, size, path);
}

bool AnsiPathOf(const char* path, char* out, size_t size) {
    return AnsiNameOf(path, out, size);
}
