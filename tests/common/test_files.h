// Scratch files for the common tests: a fresh directory per test under the
// system's temporary directory, addressed with the program's own backslash
// paths (the native build maps them to slashes).
#pragma once

#include <cstdio>
#include <string>
#include <sys/stat.h>

#ifdef _WIN32
#include <direct.h>
#include <io.h>
#else
#include <unistd.h>
#endif

#include "common/file_system.h"
#include "common/paths.h"

// The name the C library needs for a program path.
inline std::string NativeName(std::string path) {
#ifndef _WIN32
    for (char& c : path)
        if (c == '\\')
            c = '/';
#endif
    return path;
}

// A new empty directory with a unique name; "" when none could be made.
inline std::string MakeScratchDirectory() {
    char name[kPathSize];
    if (!MakeTempFileName(name, sizeof name) || !RemoveFile(name) || !MakeDirectory(name))
        return "";
    return name;
}

inline bool WriteTestFile(const std::string& path, const std::string& bytes) {
    FILE* file = OpenStream(path.c_str(), "wb");
    if (!file)
        return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && ok;
}

// The whole file, "" when it cannot be read.
inline std::string ReadTestFile(const std::string& path) {
    FILE* file = OpenStream(path.c_str(), "rb");
    if (!file)
        return "";
    std::string bytes;
    char block[4096];
    size_t count;
    while ((count = fread(block, 1, sizeof block, file)) > 0)
        bytes.append(block, count);
    fclose(file);
    return bytes;
}

inline void SetReadOnly(const std::string& path, bool readOnly) {
#ifdef _WIN32
    _chmod(path.c_str(), readOnly ? _S_IREAD : _S_IREAD | _S_IWRITE);
#else
    chmod(NativeName(path).c_str(), readOnly ? 0444 : 0644);
#endif
}

inline std::string CurrentDirectory() {
    char buffer[kPathSize];
#ifdef _WIN32
    return _getcwd(buffer, sizeof buffer) ? buffer : "";
#else
    return getcwd(buffer, sizeof buffer) ? buffer : "";
#endif
}

inline bool ChangeDirectory(const std::string& path) {
#ifdef _WIN32
    return _chdir(path.c_str()) == 0;
#else
    return chdir(NativeName(path).c_str()) == 0;
#endif
}
