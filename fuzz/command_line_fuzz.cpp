// The command line from arbitrary bytes: splitting, qualifier classification,
// wildcard expansion and the parser with its effects. Qualifiers that create
// files or directories (/b:, /l:) are left out so that a run stays inside its
// scratch directory and does not fill the disk.
#include "jobs/activity_log.h"
#include "jobs/arguments.h"
#include "jobs/command_line.h"
#include "jobs/spooler.h"
#include "common/file_system.h"
#include "common/paths.h"
#include "doubles/recorder.h"
#include "settings/settings.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::string scratch;
std::string settingsFile;

void WriteFile(const std::string& path, const char* text) {
    if (FILE* file = OpenStream(path.c_str(), "wb")) {
        std::fputs(text, file);
        std::fclose(file);
    }
}

void RemoveScratch() {
    LogClose();
    if (chdir("/") == 0)
        RemoveDirectoryTree(scratch.c_str());
}

// One scratch directory per process with a few names to match and a
// settings file with a second set, so /n: has something to find.
void Prepare() {
    char name[kPathSize];
    if (!MakeTempFileName(name, sizeof name) || !RemoveFile(name) || !MakeDirectory(name))
        std::abort();
    scratch = name;
    MakeDirectory((scratch + "\\sub").c_str());
    for (const char* file : {"a.txt", "B.TXT", "c.ps", "sub\\d.prn", "@list"})
        WriteFile(scratch + "\\" + file, "x\n");
    settingsFile = scratch + "\\ravlen.ini";
    WriteFile(settingsFile, "[Settings List]\nDefault settings=1\nSet=1\n[Set]\nLines=40\n");
    setenv("RAVLEN_WINDIR", scratch.c_str(), 1);
    if (chdir(scratch.c_str()) != 0)
        std::abort();
    SelectSettingsFile(settingsFile.c_str());
    std::atexit(RemoveScratch);
}

void CheckQualifier(const std::string& argument) {
    Qualifier q = ClassifyQualifier(argument.c_str());
    size_t length = argument.size();
    if (q.action == kQualMissingValue && length >= 4)
        std::abort();
    bool takesValue = q.action == kQualBackup || q.action == kQualLog ||
                      q.action == kQualSettingsSet || q.action == kQualSpooler ||
                      q.action == kQualSettingsFile || q.action == kQualDefinitions ||
                      q.action == kQualClipboard || q.action == kQualStdin;
    if (takesValue && q.value != (length > 3 ? argument.substr(3) : std::string()))
        std::abort();
    if (q.action == kQualCopies && (q.number < 1 || q.number > 32767))
        std::abort();
}

bool CreatesFiles(const std::string& argument) {
    return argument.size() > 1 && argument[0] == '/' && std::strchr("bBlL", argument[1]);
}

void ResetState() {
    LogClose();
    SpoolerMode = false;
    if (settingsFile != SettingsFileName)
        SelectSettingsFile(settingsFile.c_str());
    ResetDoubles();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (scratch.empty())
        Prepare();
    std::string commandLine(reinterpret_cast<const char*>(data), size);
    std::vector<Argument> split = SplitCommandLine(commandLine.c_str());

    std::vector<std::string> arguments;
    for (size_t i = 1; i < split.size(); ++i) {
        const std::string& text = split[i].text;
        if (!text.empty() && text[0] == '/')
            CheckQualifier(text);
        if (!CreatesFiles(text))
            arguments.push_back(text);
    }

    // Expansion of one short pattern inside the scratch directory.
    if (split.size() > 1 && split[1].text.size() < 16 &&
        split[1].text.find_first_of("\\/:") == std::string::npos) {
        Argument pattern{scratch + "\\" + split[1].text, split[1].quoted};
        std::vector<std::string> expanded = ExpandArguments({pattern});
        if (expanded.empty())
            std::abort();
    }

    // The same bytes as the line the system keeps whole: the same arguments.
    std::vector<Argument> kept = SplitProgramCommandLine("", commandLine.c_str());
    if (kept.size() != split.size())
        std::abort();
    for (size_t i = 0; i < kept.size(); ++i)
        if (kept[i].text != split[i].text)
            std::abort();

    CommandLine line;
    int exitCode = 0;
    ParseCommandLine(arguments, &line, &exitCode);
    if (line.files.size() > arguments.size())
        std::abort();
    ResetState();
    return 0;
}
