// Doubles of the installer's seams: the classes root as a map, and the shell
// links and program manager as recorders (lines in RecordedCalls).
#pragma once

#include <map>
#include <set>
#include <string>

struct FakeClassKey {
    std::string defaultValue;
    bool hasDefault = false;
    bool hasNamedValues = false; // values beside those in `values`
    std::map<std::string, std::string> values;
};

// Keys by their full path below the root ("Ravlen\\shell\\open\\command").
extern std::map<std::string, FakeClassKey> FakeClasses;
// Keys whose deletion the fake refuses, as a registry refuses some.
extern std::set<std::string> UndeletableClassKeys;
extern bool FakeShellHasFolders;
extern std::string FakeProgramsFolder; // what GetShellFolder("Programs") answers
// The links there are, as "Folder:link name".
extern std::set<std::string> FakeLinks;

void ResetInstallDoubles();
