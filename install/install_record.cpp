// The install directory's rules and the record of installed files (see
// install_record.h).
#include "install_record.h"

#include <cstring>

#include "../common/bounded_text.h"
#include "../common/file_system.h"
#include "../common/paths.h"

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The directory as the file system spells it, without a closing separator
// (a root keeps its own). False when it does not fit.
bool CanonicalDirectory(const char* directory, char* out, size_t size) {
    const char* resolved = ResolvePath(directory, true);
    if (!resolved || !CopyText(out, size, resolved))
        return false;
    size_t length = std::strlen(out);
    while (length > 1 && IsSeparator(out[length - 1]) && out[length - 2] != ':')
        out[--length] = '\0';
    return true;
}

bool IsPlainFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("\\/:*?\"<>|") == std::string::npos;
}

// The name is matched without regard to letter case, as Windows does.
bool RemoveIfPresent(const char* directory, const char* name) {
    char path[kPathSize];
    if (!FormatText(path, sizeof path, "%s%s", directory, name))
        return false;
    const char* onDisk = ResolvePath(path, true);
    return onDisk && (!PathExists(onDisk) || RemoveFile(onDisk));
}

// "Ravlen.gid" for "ravlen.hlp": the index the help viewer writes.
void RemoveHelpIndex(const char* directory, const std::string& name) {
    size_t dot = name.rfind('.');
    if (dot == std::string::npos || CompareNoCase(name.c_str() + dot, ".hlp") != 0)
        return;
    RemoveIfPresent(directory, (name.substr(0, dot) + ".gid").c_str());
}

} // namespace

bool IsFullDirectoryPath(const char* directory) {
    if (IsLetter(directory[0]) && directory[1] == ':')
        return IsSeparator(directory[2]);
    if (!IsSeparator(directory[0]) || !IsSeparator(directory[1]))
        return false;
    // "\\server\share": both parts present.
    const char* server = directory + 2;
    const char* serverEnd = server;
    while (*serverEnd && !IsSeparator(*serverEnd))
        ++serverEnd;
    return serverEnd > server && IsSeparator(*serverEnd) && serverEnd[1] &&
           !IsSeparator(serverEnd[1]);
}

bool IsSameDirectory(const char* a, const char* b) {
    char first[kPathSize];
    char second[kPathSize];
    return CanonicalDirectory(a, first, sizeof first) &&
           CanonicalDirectory(b, second, sizeof second) && CompareNoCase(first, second) == 0;
}

std::string JoinFileNames(const FileNames& names) {
    std::string text;
    for (const std::string& name : names) {
        if (!text.empty())
            text += '|';
        text += name;
    }
    return text;
}

FileNames SplitFileNames(const char* text) {
    FileNames names;
    std::string all = text;
    size_t start = 0;
    while (start <= all.size()) {
        size_t bar = all.find('|', start);
        if (bar == std::string::npos)
            bar = all.size();
        std::string name = all.substr(start, bar - start);
        if (IsPlainFileName(name))
            AddFileName(&names, name.c_str());
        start = bar + 1;
    }
    return names;
}

void AddFileName(FileNames* names, const char* name) {
    for (const std::string& known : *names) {
        if (CompareNoCase(known.c_str(), name) == 0)
            return;
    }
    names->push_back(name);
}

FileNames UnrecordedInstallationFiles(const char* programName) {
    FileNames names;
    for (const char* name :
         {programName, "ravlen.exe", "ravlen.hlp", "ravlen.html", "readme.txt", "pp.txt"}) {
        if (IsPlainFileName(name))
            AddFileName(&names, name);
    }
    return names;
}

bool RemoveInstalledFiles(const char* directory, const FileNames& names, const char* runningProgram,
                          bool* runningIsInstalled) {
    *runningIsInstalled = false;
    // The running program by its long name: it may have been started by its
    // short one.
    char running[kPathSize];
    const char* resolved = ResolvePath(runningProgram, true);
    CopyText(running, sizeof running, resolved ? resolved : runningProgram);
    char runningDirectory[kPathSize];
    char runningName[kPathSize];
    CopyText(runningDirectory, sizeof runningDirectory, PathComponents(running, "drive,dir"));
    CopyText(runningName, sizeof runningName, FileNameOf(running));
    bool runsFromDirectory = IsSameDirectory(runningDirectory, directory);
    bool ok = true;
    for (const std::string& name : names) {
        if (runsFromDirectory && CompareNoCase(name.c_str(), runningName) == 0) {
            *runningIsInstalled = true;
            continue;
        }
        if (!RemoveIfPresent(directory, name.c_str()))
            ok = false;
        RemoveHelpIndex(directory, name);
    }
    return ok;
}
