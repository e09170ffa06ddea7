// Programs run as processes of their own, against the tests' converter.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "common/stop_request.h"
#include "common/file_system.h"
#include "common/paths.h"
#include "output/process.h"
#include "tests/common/test_files.h"
#include "tests/doubles/recorder.h"

namespace {

// The converter's Windows path: the build names it by its Unix path, which
// Wine serves as drive Z:.
std::string Converter() {
    std::string path = CONVERTER_EXE;
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

std::string TempName() {
    char name[kPathSize];
    EXPECT_TRUE(MakeTempFileName(name, sizeof name));
    return name;
}

std::string Read(const std::string& path) {
    std::string bytes;
    if (FILE* file = fopen(path.c_str(), "rb")) {
        char buffer[1024];
        size_t got;
        while ((got = fread(buffer, 1, sizeof buffer, file)) > 0)
            bytes.append(buffer, got);
        fclose(file);
    }
    return bytes;
}

class Process : public testing::Test {
  protected:
    void SetUp() override {
        ResetDoubles();
        StopRequested = false;
    }
    void TearDown() override {
        StopRequested = false;
        for (const std::string& path : files)
            RemoveFile(path.c_str());
    }
    std::string Scratch() {
        files.push_back(TempName());
        return files.back();
    }
    std::vector<std::string> files;
};

TEST_F(Process, RunsInItsOwnDirectoryAndGivesItsExitCode) {
    std::string input = Scratch(), output = Scratch(), where = Scratch();
    ASSERT_TRUE(WriteTestFile(input, "data"));
    std::string command =
        Converter() + " --prefix P: --exit 3 --where " + where + " " + input + " " + output;
    unsigned long exitCode = 0;
    EXPECT_EQ(0, RunAndWait(command.c_str(), false, &exitCode));
    EXPECT_EQ(3u, exitCode);
    EXPECT_EQ("P:data", Read(output));
    std::string directory = PathComponents(Converter().c_str(), "drive,dir");
    std::string cwd = Read(where);
    if (cwd.empty() || cwd.back() != '\\')
        cwd += '\\';
    EXPECT_EQ(0, CompareNoCase(directory.c_str(), cwd.c_str())) << directory << " / " << cwd;
}

TEST_F(Process, MissingProgramGivesTheSystemError) {
    unsigned long exitCode = 0;
    EXPECT_NE(0, RunAndWait("C:\\no\\such\\converter.exe a b", false, &exitCode));
    EXPECT_NE(0, StartProgram("C:\\no\\such\\converter.exe a b", false));
}

TEST_F(Process, StopEndsAProgramThatTakesLong) {
    std::string command = Converter() + " --sleep 60000 a b";
    StopRequested = true;
    DWORD start = GetTickCount();
    unsigned long exitCode = 0;
    EXPECT_NE(0, RunAndWait(command.c_str(), false, &exitCode));
    EXPECT_LT(GetTickCount() - start, 20000u);
}

TEST_F(Process, StartProgramDoesNotWait) {
    std::string input = Scratch(), output = Scratch();
    ASSERT_TRUE(WriteTestFile(input, "later"));
    std::string command = Converter() + " --sleep 1500 " + input + " " + output;
    DWORD start = GetTickCount();
    EXPECT_EQ(0, StartProgram(command.c_str(), false));
    EXPECT_LT(GetTickCount() - start, 1000u);
    for (int i = 0; i < 100 && Read(output) != "later"; ++i)
        Sleep(100);
    EXPECT_EQ("later", Read(output));
}

} // namespace
