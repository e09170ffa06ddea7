// Shared set-up of the shell tests: a scratch directory, a settings file of
// the test's own, and the shell's globals back at their start-up values.
#pragma once

#include "tests/common/test_files.h"
#include "tests/doubles/recorder.h"

#include "app/shell_state.h"
#include "common/bounded_text.h"
#include "common/file_system.h"
#include "common/paths.h"
#include "jobs/activity_log.h"
#include "jobs/command_line.h"
#include "jobs/job_runner.h"
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

using Strings = std::vector<std::string>;

// The lines of a text file, without their line ends.
// The lines of a text file; a UTF-8 byte-order mark is no part of the first.
inline std::vector<std::string> ReadTestLines(const std::string& path) {
    std::vector<std::string> lines;
    std::string text = ReadTestFile(path), line;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3);
    for (char c : text) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (c != '\r') {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

// Recorded calls that begin with `prefix`, in order.
inline std::vector<std::string> CallsStartingWith(const std::string& prefix) {
    std::vector<std::string> found;
    for (const std::string& call : RecordedCalls)
        if (call.compare(0, prefix.size(), prefix) == 0)
            found.push_back(call);
    return found;
}

// Recorded calls without the message beeps, which only double the boxes.
inline std::vector<std::string> CallsWithoutBeeps() {
    std::vector<std::string> found;
    for (const std::string& call : RecordedCalls)
        if (call.compare(0, 5, "beep ") != 0)
            found.push_back(call);
    return found;
}

// `path` spelled out to exactly `length` characters, padded with "\." and
// doubled separators, so that it still names the same file. Only the native
// build can open names this long.
inline std::string PaddedPath(const std::string& path, size_t length) {
    size_t split = path.find_last_of("\\/");
    std::string head = path.substr(0, split), tail = path.substr(split);
    while (head.size() + 2 + tail.size() <= length)
        head += "\\.";
    head.insert(1, length - head.size() - tail.size(), '/');
    return head + tail;
}

inline void ResetShellState() {
    MainWindow = nullptr;
    SpoolerMode = false;
    SpoolerPattern[0] = '\0';
    BackupDirectory[0] = '\0';
    EchoToLog = false;
    StopRequested = false;
}

// Has `stop` run by the first pump after the first job is complete: the
// file is with the spooler then, and the stop (Stop, Exit) comes after it.
inline void StopOnceAJobIsDone(std::function<void()> stop) {
    OtherParts.duringPump = [stop] {
        bool jobDone = !CallsStartingWith("dispatch").empty() && !OtherParts.dispatching;
        if (jobDone)
            stop();
        else
            StopOnceAJobIsDone(stop);
    };
}

// A batch of one file, as the capture, the preview and File Information
// print it; true when it printed through.
inline bool PrintOne(const std::string& path, WindowRef owner = MainWindow) {
    Batch batch = SingleFileBatch(path, owner);
    return RunBatch(&batch);
}

class ShellTest : public ::testing::Test {
  public:
    // `path` made absolute, as the program makes the paths it keeps.
    static std::string Full(const std::string& path) {
        char full[kPathSize];
        return FullPathOf(path.c_str(), full, sizeof full) ? full : path;
    }

  protected:
    void SetUp() override {
        dir = MakeScratchDirectory();
        ASSERT_FALSE(dir.empty());
        home = CurrentDirectory();
#ifndef _WIN32
        // The default log goes to the "Windows directory"; keep it here.
        setenv("RAVLEN_WINDIR", dir.c_str(), 1);
#endif
        LogClose();
        ResetShellState();
        UseSettings("");
        ResetDoubles();
    }

    void TearDown() override {
        LogClose();
        ChangeDirectory(home);
        SelectSettingsFile(nullptr);
        RemoveDirectoryTree(dir.c_str());
    }

    std::string Path(const std::string& name) const {
        return dir + "\\" + name;
    }

    std::string Write(const std::string& name, const std::string& bytes = "text\n") {
        std::string path = Path(name);
        EXPECT_TRUE(WriteTestFile(path, bytes)) << path;
        return path;
    }

    // A settings file of the test's own: the printer dialog is off in every
    // set unless `sections` says otherwise; `sets` lists the extra sets.
    void UseSettings(const std::string& sections, const std::string& sets = "") {
        std::string ini = "[Settings List]\r\nDefault settings=1\r\n" + sets +
                          "[Default settings]\r\nShowPrintDlg=0\r\n" + sections;
        std::string path = Write("ravlen.ini", ini);
        // The lookup's cache belongs to the file it was made for.
        FileTypeLookupEnabled = true;
        SelectSettingsFile(path.c_str());
    }

    std::string dir;
    std::string home;
};
