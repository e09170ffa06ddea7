// Shared set-up of the settings tests: a settings file of the test's own in a
// scratch directory, given by its full path (a bare name would go to the
// Windows directory), and a printer selection that can be told to fail.
#pragma once

#include "tests/common/test_files.h"
#include "tests/doubles/recorder.h"

#include "settings/profile.h"
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Printer selection double (settings_store_test.cpp).
extern bool PrinterSelectable;
extern std::vector<std::string> SelectedPrinters;

inline std::string ReadSettingsText(const std::string& path) {
    FILE* file = fopen(NativeName(path).c_str(), "rb");
    if (!file)
        return "(none)";
    std::string text;
    int c;
    while ((c = fgetc(file)) != EOF)
        if (c != '\r')
            text += (char)c;
    fclose(file);
    return text;
}

class SettingsFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetDoubles();
        PrinterSelectable = true;
        SelectedPrinters.clear();
        directory = MakeScratchDirectory();
        ASSERT_FALSE(directory.empty());
        file = directory + "\\settings.ini";
        ASSERT_TRUE(SelectSettingsFile(file.c_str()));
        FileTypeLookupEnabled = true;
    }
    void TearDown() override {
        RemoveFile(file.c_str());
        RemoveEmptyDirectory(directory.c_str());
    }

    // The file as the user's editor leaves it; the platform is told to
    // forget what it may have cached of the old one.
    void HandEdit(const std::string& text) {
        ASSERT_TRUE(WriteTestFile(file, text));
        WriteProfileValue(nullptr, nullptr, nullptr, file.c_str());
    }
    std::string Text() const { return ReadSettingsText(file); }

    // Saves `record` as the set `name`.
    void SaveAs(const char* name, Settings record) {
        CopyText(CurrentSetName, sizeof CurrentSetName, name);
        TransferSettings(&record, kWriteSettings);
    }

    std::string directory;
    std::string file;
};
