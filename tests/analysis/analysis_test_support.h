// Scratch files and settings for the analysis tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "analysis/file_analysis.h"
#include "common/stop_request.h"
#include "tests/doubles/recorder.h"
#include "settings/settings.h"
#include "tests/common/test_files.h"

class AnalysisTest : public testing::Test {
  protected:
    void SetUp() override {
        ResetDoubles();
        SetDefaultSettings(&CurrentSettings);
        CurrentSettings.EnableTextPrint = 1;
        StopRequested = false;
    }

    void TearDown() override {
        for (FileAnalysis* analysis : analyses)
            ReleaseFile(analysis, false);
        for (const std::string& path : paths)
            RemoveFile(path.c_str());
    }

    std::string MakeFile(const std::string& bytes) {
        char name[kPathSize];
        EXPECT_TRUE(MakeTempFileName(name, sizeof name));
        EXPECT_TRUE(WriteTestFile(name, bytes));
        paths.push_back(name);
        return name;
    }

    FileAnalysis* Analyze(const std::string& bytes) {
        FileAnalysis* analysis = AnalyzeFile(MakeFile(bytes).c_str());
        EXPECT_NE(nullptr, analysis);
        if (analysis)
            analyses.push_back(analysis);
        return analysis;
    }

    std::vector<FileAnalysis*> analyses;
    std::vector<std::string> paths;
};

// A DSC document: a header with `pagesLine` (none when empty), `pages` page
// comments, a trailer with `trailer` lines. Lines end with `eol`.
inline std::string DscDocument(const std::string& pagesLine, int pages,
                               const std::string& trailer = "", const std::string& eol = "\n") {
    std::string doc = "%!PS-Adobe-3.0" + eol + "%%Creator: test" + eol;
    if (!pagesLine.empty())
        doc += pagesLine + eol;
    doc += "%%EndComments" + eol + "/F { } def" + eol;
    for (int k = 1; k <= pages; ++k) {
        doc += "%%Page: " + std::to_string(k) + " " + std::to_string(k) + eol;
        doc += "(page " + std::to_string(k) + ") pop showpage" + eol;
    }
    doc += "%%Trailer" + eol + trailer + "%%EOF" + eol;
    return doc;
}
