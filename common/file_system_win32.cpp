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

#include <string>
#include <vector>

#include "bounded_text.h"
#include "code_pages.h"
#include "wide_names_win32.h"

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

// False for an entry whose name does not fit or cannot be held: the caller
// passes over it rather than take a cut name for another file.
static bool FillEntry(const WIN32_FIND_DATAW& data, FoundEntry* entry) {
    if (!NameFromWide(data.cFileName, entry->name, sizeof entry->name))
        return false;
    if (!NameFromWide(data.cAlternateFileName, entry->shortName, sizeof entry->shortName))
        entry->shortName[0] = '\0';
    entry->isDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry->readOnly = (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    return true;
}

static bool FindNextFilled(HANDLE handle, FoundEntry* entry) {
    WIN32_FIND_DATAW data;
    while (FindNextFileW(handle, &data))
        if (FillEntry(data, entry))
            return true;
    return false;
}

DirectorySearch* OpenDirectorySearch(const char* pattern, FoundEntry* first) {
    WIN32_FIND_DATAW data;
    HANDLE handle = FindFirstFileW(WideName(pattern).c_str(), &data);
    if (handle == INVALID_HANDLE_VALUE)
        return nullptr;
    if (!FillEntry(data, first) && !FindNextFilled(handle, first)) {
        FindClose(handle);
        return nullptr;
    }
    DirectorySearch* search = new (std::nothrow) DirectorySearch;
    if (!search) {
        FindClose(handle);
        return nullptr;
    }
    search->handle = handle;
    return search;
}

bool NextDirectoryEntry(DirectorySearch* search, FoundEntry* entry) {
    return FindNextFilled(search->handle, entry);
}

void CloseDirectorySearch(DirectorySearch* search) {
    if (!search)
        return;
    FindClose(search->handle);
    delete search;
}

bool PathExists(const char* path) {
    return GetFileAttributesW(WideName(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsDirectory(const char* path) {
    DWORD attributes = GetFileAttributesW(WideName(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

long long FileSizeOf(const char* path) {
    struct _stat64 status;
    return _wstat64(WideName(path).c_str(), &status) == 0 ? static_cast<long long>(status.st_size)
                                                          : 0;
}

bool ModificationTimeOf(const char* path, time_t* modified) {
    struct _stat64 status;
    if (_wstat64(WideName(path).c_str(), &status) != 0)
        return false;
    *modified = static_cast<time_t>(status.st_mtime);
    return true;
}

bool SeekStream(FILE* file, long long offset, int origin) {
    return _fseeki64(file, offset, origin) == 0;
}

long long StreamPosition(FILE* file) {
    return _ftelli64(file);
}

bool MakeDirectory(const char* path) {
    if (CreateDirectoryW(WideName(path).c_str(), nullptr))
        return true;
    SetErrnoFromLastError();
    return false;
}

bool RemoveFile(const char* path) {
    if (DeleteFileW(WideName(path).c_str()))
        return true;
    SetErrnoFromLastError();
    return false;
}

bool RemoveEmptyDirectory(const char* path) {
    if (RemoveDirectoryW(WideName(path).c_str()))
        return true;
    SetErrnoFromLastError();
    return false;
}

bool CopyFileReplacing(const char* from, const char* to) {
    if (CopyFileW(WideName(from).c_str(), WideName(to).c_str(), FALSE))
        return true;
    SetErrnoFromLastError();
    return false;
}

bool FullPathOf(const char* path, char* out, size_t size) {
    WCHAR full[MAX_PATH * 4];
    DWORD length = GetFullPathNameW(WideName(path).c_str(), MAX_PATH * 4, full, nullptr);
    return length > 0 && length < MAX_PATH * 4 && NameFromWide(full, out, size);
}

bool ShellLongPathOf(const char* fullPath, char* out, size_t size) {
    std::wstring wide = WideName(fullPath);
    IShellFolder* desktop = nullptr;
    if (wide.empty() || FAILED(SHGetDesktopFolder(&desktop)))
        return false;
    LPITEMIDLIST items = nullptr;
    ULONG eaten = 0;
    HRESULT parsed = desktop->ParseDisplayName(nullptr, nullptr, &wide[0], &eaten, &items, nullptr);
    desktop->Release();
    if (FAILED(parsed) || !items)
        return false;
    WCHAR longPath[MAX_PATH];
    bool ok = SHGetPathFromIDListW(items, longPath) != FALSE;
    CoTaskMemFree(items);
    return ok && NameFromWide(longPath, out, size);
}

bool CreateTempFile(const char* prefix, char* out, size_t size) {
    WCHAR directory[MAX_PATH];
    WCHAR name[MAX_PATH];
    DWORD length = GetTempPathW(MAX_PATH, directory);
    if (length == 0 || length >= MAX_PATH)
        return false;
    if (!GetTempFileNameW(directory, WideName(prefix).c_str(), 0, name))
        return false;
    if (NameFromWide(name, out, size))
        return true;
    DeleteFileW(name);
    return false;
}

bool WindowsDirectory(char* out, size_t size) {
    WCHAR directory[MAX_PATH];
    UINT length = GetWindowsDirectoryW(directory, MAX_PATH);
    return length > 0 && length < MAX_PATH && NameFromWide(directory, out, size);
}

bool ProgramFilePath(char* out, size_t size) {
    WCHAR path[MAX_PATH * 4];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    return length > 0 && length < MAX_PATH * 4 && NameFromWide(path, out, size);
}

bool AnsiPathOf(const char* path, char* out, size_t size) {
    if (AnsiNameOf(path, out, size))
        return true;
    std::vector<char> fallback(size > 0 ? size : 1);
    CopyText(fallback.data(), fallback.size(), out);
    WCHAR shortName[MAX_PATH];
    DWORD length = GetShortPathNameW(WideName(path).c_str(), shortName, MAX_PATH);
    char shortPath[MAX_PATH * 3];
    if (length > 0 && length < MAX_PATH && NameFromWide(shortName, shortPath, sizeof shortPath) &&
        AnsiNameOf(shortPath, out, size))
        return true;
    CopyText(out, size, fallback.data());
    return false;
}
