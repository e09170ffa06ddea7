// Scratch files, settings and doubles made fresh for every output test.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "analysis/file_analysis.h"
#include "common/stop_request.h"
#include "common/paths.h"
#include "output/channels.h"
#include "output/printer_selection.h"
#include "output/transfer_buffer.h"
#include "output_doubles.h"
#include "settings/settings.h"
#include "tests/common/test_files.h"
#include "tests/doubles/recorder.h"
#include "tests/doubles/text_device_recorder.h"

class OutputTest : public testing::Test {
  protected:
    void SetUp() override {
        ResetDoubles();
        ResetPrinter();
        ResetTextDevice();
        SetDefaultSettings(&CurrentSettings);
        CurrentSettings.PSEOFChar = 0;
        CurrentSettings.DrvHead = 0;
        CurrentSettings.WarnNonPS = 0;
        CurrentSettings.NUpPs = 0;
        StopRequested = false;
        Output.driverHeaderMode = false;
        ASSERT_TRUE(AllocateTransferBuffer());
    }

    void TearDown() override {
        for (FileAnalysis* analysis : analyses)
            ReleaseFile(analysis, false);
        for (const std::string& path : paths)
            RemoveFile(path.c_str());
        StopRequested = false;
    }

    std::string MakeFile(const std::string& bytes) {
        char name[kPathSize];
        EXPECT_TRUE(MakeTempFileName(name, sizeof name));
        EXPECT_TRUE(WriteTestFile(name, bytes));
        paths.push_back(name);
        return name;
    }

    // The file analysed, shown to the user as `displayName`.
    FileAnalysis* Analyze(const std::string& bytes,
                          const char* displayName = "C:\\docs\\data.bin") {
        FileAnalysis* analysis = AnalyzeFile(MakeFile(bytes).c_str());
        EXPECT_NE(nullptr, analysis);
        if (analysis) {
            CopyText(analysis->displayName, sizeof analysis->displayName, displayName);
            analyses.push_back(analysis);
        }
        return analysis;
    }

    static std::string BinaryBytes(size_t n) {
        std::string bytes(n, '\0');
        for (size_t i = 0; i < n; ++i)
            bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
        return bytes;
    }

    static bool Shown(const std::string& text) {
        for (const ShownBox& box : ShownBoxes)
            if (box.text.find(text) != std::string::npos)
                return true;
        return false;
    }

    std::vector<FileAnalysis*> analyses;
    std::vector<std::string> paths;
};
