// Which files a service trusts, and whether anyone but administrators, SYSTEM
// and the service itself can change them.
#include "service_security.h"

#include "../common/bounded_text.h"
#include "../common/file_system.h"
#include "../settings/settings.h"
#include "../textfmt/definitions.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

// Rights that change a file or who may change it: write and append its
// data, delete it (and put another in its place), change its access list or
// its owner, and the generic rights that include those.
const unsigned long kChangingRights = 0x00000002UL | 0x00000004UL | 0x00010000UL | 0x00040000UL |
                                      0x00080000UL | 0x10000000UL | 0x40000000UL;

const char kAdministrators[] = "S-1-5-32-544";
const char kLocalSystem[] = "S-1-5-18";
// The system's installer service, which owns the system's own files.
const char kTrustedInstaller[] = "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
// Stand-ins that take effect only on what is created inside a folder.
const char kCreatorOwner[] = "S-1-3-0";
const char kCreatorGroup[] = "S-1-3-1";

bool Trusted(const std::string& account, const std::string& own) {
    for (const char* trusted : {kAdministrators, kLocalSystem, kTrustedInstaller}) {
        if (account == trusted)
            return true;
    }
    return account == own || IsAdministratorAccount(account);
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

std::string FullPath(const std::string& path) {
    char full[kPathSize];
    return FullPathOf(path.c_str(), full, sizeof full) ? std::string(full) : path;
}

// The settings file as the profile functions find it: a bare name in the
// Windows directory.
std::string SettingsFilePath() {
    std::string name = SettingsFileName;
    if (name.find_first_of("\\/") != std::string::npos)
        return FullPath(name);
    char directory[kPathSize];
    if (!WindowsDirectory(directory, sizeof directory))
        return name;
    return std::string(directory) + "\\" + name;
}

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.pop_back();
    size_t start = text.find_first_not_of(" \t");
    return start == std::string::npos ? std::string() : text.substr(start);
}

// The program of a conversion command: the text before its "?", or without
// one its first word; in quotes or not.
std::string ConversionProgram(const char* command) {
    std::string text = Trimmed(command);
    size_t question = text.find('?');
    if (question != std::string::npos) {
        text = Trimmed(text.substr(0, question));
    } else if (!text.empty() && text[0] == '"') {
        size_t close = text.find('"', 1);
        text = text.substr(0, close == std::string::npos ? text.size() : close + 1);
    } else {
        text = text.substr(0, text.find_first_of(" \t"));
    }
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        text = text.substr(1, text.size() - 2);
    if (text.empty())
        return text;
    bool bare = std::find_if(text.begin(), text.end(), IsSeparator) == text.end() &&
                text.find(':') == std::string::npos;
    return bare ? ProgramFileOf(text) : FullPath(text);
}

void AddNamed(const Settings& set, std::vector<std::string>* files) {
    if (set.PrologName[0])
        files->push_back(FullPath(set.PrologName));
    for (const ConversionSettings& conversion : set.conversion) {
        std::string program = ConversionProgram(conversion.ConvCom);
        if (!program.empty())
            files->push_back(program);
    }
}

} // namespace

std::vector<std::string> FilesTheServiceTrusts(const std::string& serviceProgram) {
    std::vector<std::string> files = {SettingsFilePath(), serviceProgram,
                                      FullPath(DefinitionsPath())};
    AddNamed(CurrentSettings, &files);
    char names[4096];
    ListSettingsSets(names, sizeof names);
    for (const char* name = names; *name; name += std::strlen(name) + 1) {
        Settings set;
        ReadSettingsSet(name, &set);
        AddNamed(set, &files);
    }
    return files;
}

bool WritableByOthers(const FileAccess& access, const std::string& ownAccount) {
    // An owner may always change who may write.
    if (access.everyone || !Trusted(access.owner, ownAccount))
        return true;
    for (const AccessEntry& entry : access.entries) {
        if (!entry.allows || entry.inheritOnly || !(entry.mask & kChangingRights))
            continue;
        if (entry.account == kCreatorOwner || entry.account == kCreatorGroup)
            continue;
        if (!Trusted(entry.account, ownAccount))
            return true;
    }
    return false;
}

std::string FirstUnsafeFile(const std::vector<std::string>& files, const std::string& ownAccount) {
    for (const std::string& file : files) {
        FileAccess access;
        if (!ReadFileAccess(file.c_str(), &access)) {
            if (errno == ENOENT)
                continue;
            return file;
        }
        if (WritableByOthers(access, ownAccount))
            return file;
    }
    return std::string();
}
