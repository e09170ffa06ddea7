// Scratch text files and a clean fake printer for the text formatter tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "common/stop_request.h"
#include "common/file_system.h"
#include "common/paths.h"
#include "../doubles/recorder.h"
#include "../doubles/text_device_recorder.h"
#include "settings/settings.h"
#include "textfmt/definitions.h"
#include "tests/common/test_files.h"

// A temporary file holding `bytes`, open for binary reading, removed at the end.
class ScratchFile {
  public:
    explicit ScratchFile(const std::string& bytes, const char* mode = "rb") {
        char name[kPathSize];
        if (!MakeTempFileName(name, sizeof name))
            return;
        path_ = name;
        FILE* out = fopen(NativeName(path_).c_str(), "wb");
        if (!out)
            return;
        fwrite(bytes.data(), 1, bytes.size(), out);
        fclose(out);
        file_ = fopen(NativeName(path_).c_str(), mode);
    }
    ~ScratchFile() {
        if (file_)
            fclose(file_);
        if (!path_.empty())
            RemoveFile(path_.c_str());
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    FILE* file() const { return file_; }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
    FILE* file_ = nullptr;
};

// Default settings, no header or footer, a fake 300 dpi printer with a
// printable area of 8 x 11 inches.
class TextFormatterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetDoubles();
        ResetTextDevice();
        FreeDefinitions();
        SetDefaultSettings(&CurrentSettings);
        CurrentSettings.HeaderStr[0] = '\0';
        CurrentSettings.FooterStr[0] = '\0';
        StopRequested = false;
    }
    void TearDown() override {
        FreeDefinitions();
        StopRequested = false;
    }
    // One logical page per sheet, without frame, margins or gutters: the
    // text fills the whole printable area.
    static void OneCellFillingThePage() {
        Settings& s = CurrentSettings;
        s.Width = s.Height = 1;
        s.Frame = 0;
        s.LeftMarg = s.RightMarg = s.TopMarg = s.BottomMarg = 0.0f;
        s.xGutter = s.yGutter = 0.0f;
    }
};

// The texts drawn, in order, each as "text@x,y".
inline std::vector<std::string> TextsAt() {
    std::vector<std::string> out;
    for (const DrawnText& t : DrawnTexts)
        out.push_back(t.text + "@" + std::to_string(t.x) + "," + std::to_string(t.y));
    return out;
}
