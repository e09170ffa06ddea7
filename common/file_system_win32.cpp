// The Windows side of the file system seam. Failing calls leave errno set
// from the system's error code, so callers can show strerror's text.
#include "file_system.h"

#include <windows.h>
#include <shlobj.h>
#include <objbase.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <sys/stat.h>
#include <sys/types.h>

#include "bounded_text.h"

static void SetErrnoFromLastError() {
    switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
        errno = ENOENT;
        break;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
        errno = EEXIST;
        break;
    case ERROR_DIR_NOT_EMPTY:
        errno = ENOTEMPTY;
        break;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        errno = ENOMEM;
        break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        errno = ENOSPC;
        break;
    case ERROR_TOO_MANY_OPEN_FILES:
        errno = EMFILE;
        break;
    case ERROR_NOT_SAME_DEVICE:
        errno = EXDEV;
        break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
    case ERROR_CURRENT_DIRECTORY:
    case ERROR_NETWORK_ACCESS_DENIED:
        errno = EACCES;
        break;
    default:
        errno = EINVAL;
        break;
    }
}

struct DirectorySearch {
    HANDLE handle;
};

static void FillEntry(const WIN32_FIND_DATAA& data, FoundEntry* entry) {
    CopyText(entry->name, sizeof entry->name, data.cFileName);
    CopyText(entry->shortName, sizeof entry->shortName, data.cAlternateFileName);
    entry->isDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry->readOnly = (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
}

DirectorySearch* OpenDirectorySearch(const char* pattern, FoundEntry* first) {
    WIN32_FIND_DATAA data;
    HANDLE handle = FindFirstFileA(pattern, &data);
    if (handle == INVALID_HANDLE_VALUE)
        return nullptr;
    DirectorySearch* search = new (std::nothrow) DirectorySearch;
    if (!search) {
        FindClose(handle);
        return nullptr;
    }
    search->handle = handle;
    FillEntry(data, first);
    return search;
}

bool NextDirectoryEntry(DirectorySearch* search, FoundEntry* entry) {
    WIN32_FIND_DATAA data;
    if (!FindNextFileA(search->handle, &data))
        return false;
    FillEntry(data, entry);
    return true;
}

void CloseDirectorySearch(DirectorySearch* search) {
    if (!search)
        return;
    FindClose(search->handle);
    delete search;
}

bool PathExists(const char* path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool IsDirectory(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

long long FileSizeOf(const char* path) {
    struct _stat64 status;
    return _stat64(path, &status) == 0 ? static_cast<long long>(status.st_size) : 0;
}

bool SeekStream(FILE* file, long long offset, int origin) {
    return _fseeki64(file, offset, origin) == 0;
}

long long StreamPosition(FILE* file) {
    return _ftelli64(file);
}

bool MakeDirectory(const char* path) {
    if (CreateDirectoryA(path, nullptr))
        return true;
    SetErrnoFromLastError();
    return false;
}

bool RemoveFile(const char* path) {
    if (DeleteFileA(path))
        return true;
    SetErrnoFromLastError();
    return false;
}

bool RemoveEmptyDirectory(const char* path) {
    if (RemoveDirectoryA(path))
        return true;
    SetErrnoFromLastError();
    return false;
}

bool CopyFileReplacing(const char* from, const char* to) {
    if (CopyFileA(from, to, FALSE))
        return true;
    SetErrnoFromLastError();
    return false;
}

bool FullPathOf(const char* path, char* out, size_t size) {
    DWORD length = GetFullPathNameA(path, static_cast<DWORD>(size), out, nullptr);
    return length > 0 && length < size;
}

bool ShellLongPathOf(const char* fullPath, char* out, size_t size) {
    WCHAR wide[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, fullPath, -1, wide, MAX_PATH))
        return false;
    IShellFolder* desktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&desktop)))
        return false;
    LPITEMIDLIST items = nullptr;
    ULONG eaten = 0;
    HRESULT parsed = desktop->ParseDisplayName(nullptr, nullptr, wide, &eaten, &items, nullptr);
    desktop->Release();
    if (FAILED(parsed) || !items)
        return false;
    char longPath[MAX_PATH];
    bool ok = SHGetPathFromIDListA(items, longPath) != FALSE;
    CoTaskMemFree(items);
    return ok && CopyText(out, size, longPath);
}

bool CreateTempFile(const char* prefix, char* out, size_t size) {
    char directory[MAX_PATH];
    char name[MAX_PATH];
    DWORD length = GetTempPathA(sizeof directory, directory);
    if (length == 0 || length >= sizeof directory)
        return false;
    if (!GetTempFileNameA(directory, prefix, 0, name))
        return false;
    if (CopyText(out, size, name))
        return true;
    DeleteFileA(name);
    return false;
}

bool WindowsDirectory(char* out, size_t size) {
    UINT length = GetWindowsDirectoryA(out, static_cast<UINT>(size));
    return length > 0 && length < size;
}

bool ProgramFilePath(char* out, size_t size) {
    DWORD length = GetModuleFileNameA(nullptr, out, static_cast<DWORD>(size));
    return length > 0 && length < size;
}

// Without WC_NO_BEST_FIT_CHARS a letter the code page lacks may come out as
// a look-alike ("a" for "\u0101") and name another file; with it, it comes out
// as the default character. The way back shows whether anything was lost.
bool AnsiNameOf(const char* utf8, char* out, size_t size) {
    if (size == 0)
        return false;
    // Where the ANSI code page is UTF-8 itself, nothing is lost.
    if (GetACP() == CP_UTF8)
        return CopyText(out, size, utf8);
    out[0] = '\0';
    int units = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    if (units <= 0)
        return false;
    WCHAR* wide = new (std::nothrow) WCHAR[static_cast<size_t>(units) * 2];
    if (!wide)
        return false;
    WCHAR* back = wide + units;
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, units);
    BOOL lost = FALSE;
    int bytes = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, out,
                                    static_cast<int>(size), "?", &lost);
    bool exact = bytes > 0 && !lost &&
                 MultiByteToWideChar(CP_ACP, 0, out, -1, back, units) == units &&
                 std::memcmp(wide, back, static_cast<size_t>(units) * sizeof(WCHAR)) == 0;
    if (bytes <= 0)
        out[0] = '\0';
    delete[] wide;
    return exact;
}
