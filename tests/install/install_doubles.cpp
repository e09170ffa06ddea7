// Doubles of the installer's seams (see install_doubles.h).
#include "install_doubles.h"

#include <vector>

#include "tests/doubles/recorder.h"
#include "common/bounded_text.h"
#include "install/class_registry.h"
#include "install/shell_links.h"

std::map<std::string, FakeClassKey> FakeClasses;
std::set<std::string> UndeletableClassKeys;
bool FakeShellHasFolders = true;
std::string FakeProgramsFolder;
std::set<std::string> FakeLinks;

void ResetInstallDoubles() {
    FakeClasses.clear();
    UndeletableClassKeys.clear();
    FakeShellHasFolders = true;
    FakeProgramsFolder.clear();
    FakeLinks.clear();
}

namespace {

std::vector<std::string> TopLevelKeys() {
    std::vector<std::string> names;
    for (const auto& entry : FakeClasses) {
        if (entry.first.find('\\') == std::string::npos)
            names.push_back(entry.first);
    }
    return names;
}

bool HasSubkeys(const std::string& key) {
    auto at = FakeClasses.lower_bound(key + "\\");
    return at != FakeClasses.end() && at->first.compare(0, key.size() + 1, key + "\\") == 0;
}

} // namespace

bool ClassKeyNameAt(unsigned index, char* name, size_t size) {
    std::vector<std::string> names = TopLevelKeys();
    return index < names.size() && CopyText(name, size, names[index].c_str());
}

bool ReadClassDefault(const char* key, char* value, size_t size) {
    auto found = FakeClasses.find(key);
    return found != FakeClasses.end() && CopyText(value, size, found->second.defaultValue.c_str());
}

bool WriteClassDefault(const char* key, const char* value) {
    RecordedCalls.push_back(std::string("set ") + key + " = " + value);
    std::string path = key;
    for (size_t at = path.find('\\'); at != std::string::npos; at = path.find('\\', at + 1))
        FakeClasses[path.substr(0, at)];
    FakeClassKey& entry = FakeClasses[path];
    entry.defaultValue = value;
    entry.hasDefault = true;
    return true;
}

bool DeleteClassDefault(const char* key) {
    RecordedCalls.push_back(std::string("clear ") + key);
    auto found = FakeClasses.find(key);
    if (found == FakeClasses.end() || UndeletableClassKeys.count(key))
        return false;
    found->second.defaultValue.clear();
    found->second.hasDefault = false;
    return true;
}

bool ReadClassValue(const char* key, const char* name, char* value, size_t size) {
    auto found = FakeClasses.find(key);
    if (found == FakeClasses.end() || !found->second.values.count(name))
        return false;
    return CopyText(value, size, found->second.values[name].c_str());
}

bool WriteClassValue(const char* key, const char* name, const char* value) {
    RecordedCalls.push_back(std::string("set ") + key + " [" + name + "] = " + value);
    auto found = FakeClasses.find(key);
    if (found == FakeClasses.end())
        return false;
    found->second.values[name] = value;
    return true;
}

bool DeleteClassValue(const char* key, const char* name) {
    RecordedCalls.push_back(std::string("clear ") + key + " [" + name + "]");
    auto found = FakeClasses.find(key);
    return found != FakeClasses.end() && found->second.values.erase(name) > 0;
}

bool ClassKeyHoldsMore(const char* key) {
    auto found = FakeClasses.find(key);
    return found != FakeClasses.end() &&
           (found->second.hasNamedValues || !found->second.values.empty() || HasSubkeys(key));
}

bool DeleteClassKeyTree(const char* key) {
    RecordedCalls.push_back(std::string("delete ") + key);
    std::string path = key;
    if (!FakeClasses.count(path) || UndeletableClassKeys.count(path))
        return false;
    for (auto it = FakeClasses.begin(); it != FakeClasses.end();) {
        if (it->first == path || it->first.compare(0, path.size() + 1, path + "\\") == 0)
            it = FakeClasses.erase(it);
        else
            ++it;
    }
    return true;
}

bool GetShellFolder(const char* folderName, char* path, size_t size) {
    if (std::string(folderName) == "Programs" && !FakeProgramsFolder.empty())
        return CopyText(path, size, FakeProgramsFolder.c_str());
    return false;
}

bool CreateShellLink(const char* linkName, const char* folderName, const char* target,
                     const char* arguments, const char* iconPath, int iconIndex) {
    RecordedCalls.push_back(std::string("link ") + folderName + ":" + linkName + " -> " + target +
                            (arguments ? std::string(" [") + arguments + "]" : "") + " icon " +
                            iconPath + "," + std::to_string(iconIndex));
    FakeLinks.insert(std::string(folderName) + ":" + linkName);
    return true;
}

bool DeleteShellLink(const char* linkName, const char* folderName) {
    RecordedCalls.push_back(std::string("unlink ") + folderName + ":" + linkName);
    return FakeLinks.erase(std::string(folderName) + ":" + linkName) > 0;
}

bool ShellLinkExists(const char* linkName, const char* folderName) {
    return FakeLinks.count(std::string(folderName) + ":" + linkName) > 0;
}

bool ShellHasFolders() {
    return FakeShellHasFolders;
}

bool SendProgmanCommand(const char* command) {
    RecordedCalls.push_back(std::string("progman ") + command);
    return true;
}
