// Files of 2 GiB and more, whose positions do not fit the 32-bit long that
// Windows gives fseek and ftell. The files are sparse: only the bytes written
// take room on the disk.
#include "output/compose.h"
#include "common/file_system.h"
#include "output/channels.h"
#include "output/transfer_buffer.h"

#include "analysis_test_support.h"
#include "../output/raw_job_recorder.h"

#include <cstdio>
#include <utility>

namespace {

// The test's own 64-bit seek, so that the files are made the same way
// whatever the program's seam does.
bool SeekTo(FILE* file, long long offset) {
#ifdef _WIN32
    return _fseeki64(file, offset, SEEK_SET) == 0;
#else
    return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

const long long kGiB = 1024LL * 1024 * 1024;
const long long kLargeSize = 5 * kGiB / 2;

class LargeFile : public AnalysisTest {
  protected:
    void SetUp() override {
        AnalysisTest::SetUp();
        ResetRawJob();
        ASSERT_TRUE(AllocateTransferBuffer());
    }

    // A file of kLargeSize bytes, zero but for `pieces` (offset, bytes).
    std::string SparseFile(const std::vector<std::pair<long long, std::string>>& pieces) {
        std::string path = MakeFile("");
        FILE* file = std::fopen(NativeName(path).c_str(), "wb");
        EXPECT_NE(nullptr, file);
        if (!file)
            return path;
        bool ok = true;
        for (const auto& piece : pieces)
            ok = ok && SeekTo(file, piece.first) &&
                 std::fwrite(piece.second.data(), 1, piece.second.size(), file) ==
                     piece.second.size();
        const auto& last = pieces.back();
        if (last.first + static_cast<long long>(last.second.size()) < kLargeSize)
            ok = ok && SeekTo(file, kLargeSize - 1) && std::fputc(0, file) == 0;
        EXPECT_TRUE(std::fclose(file) == 0 && ok);
        EXPECT_EQ(kLargeSize, FileSizeOf(path.c_str()));
        return path;
    }

    FileAnalysis* AnalyzeLarge(const std::vector<std::pair<long long, std::string>>& pieces) {
        FileAnalysis* analysis = AnalyzeFile(SparseFile(pieces).c_str());
        EXPECT_NE(nullptr, analysis);
        if (analysis)
            analyses.push_back(analysis);
        return analysis;
    }
};

TEST_F(LargeFile, AnalysisReportsTheWholeSize) {
    // Printer-ready data: all of it is sent.
    FileAnalysis* analysis = AnalyzeLarge({{0, "\x1b%-12345X@PJL\r\n"}});
    ASSERT_NE(nullptr, analysis);
    EXPECT_EQ(Binary, analysis->kind);
    EXPECT_EQ(0, analysis->psOffset);
    EXPECT_EQ(kLargeSize, analysis->psLength);

    // A structured document whose code ends in a Ctrl-D 2.5 GiB in: the end
    // of the code is found there.
    std::string head = "%!PS-Adobe-3.0\n%%Pages: 1\n%%EndComments\n%%Page: 1 1\n";
    std::string tail = "         showpage\n\x04\n"; // the last 20 bytes
    analysis = AnalyzeLarge({{0, head}, {kLargeSize - 20, tail}});
    ASSERT_NE(nullptr, analysis);
    EXPECT_EQ(StructuredPostScript, analysis->kind);
    EXPECT_EQ(1u, analysis->pageCount);
    EXPECT_EQ(static_cast<long long>(head.find("%%Page:")), analysis->firstPageOffset);
    EXPECT_EQ(kLargeSize - 2, analysis->psLength);
}

TEST_F(LargeFile, BinaryHeaderPointsBeyondTwoGiB) {
    const long long offset = 0x90000000LL; // 2.25 GiB
    std::string code = "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 10 20\nshowpage\n";
    std::string header = "\xC5\xD0\xD3\xC6";
    for (unsigned long value :
         {static_cast<unsigned long>(offset), static_cast<unsigned long>(code.size())})
        for (int i = 0; i < 4; ++i)
            header += static_cast<char>((value >> (8 * i)) & 0xFF);
    FileAnalysis* analysis = AnalyzeLarge({{0, header}, {offset, code}});
    ASSERT_NE(nullptr, analysis);
    EXPECT_EQ(EncapsulatedPostScript, analysis->kind);
    EXPECT_EQ(offset, analysis->psOffset);
    EXPECT_EQ(static_cast<long long>(code.size()), analysis->psLength);
    EXPECT_EQ(20.0, analysis->boundingBox[3]);
}

TEST_F(LargeFile, RangeIsReadFromBeyondTwoGiB) {
    const long long offset = 9 * kGiB / 4;
    std::string marker = "bytes from beyond two gibibytes";
    FileAnalysis* analysis = AnalyzeLarge({{0, "\x1b"}, {offset, marker}});
    ASSERT_NE(nullptr, analysis);
    EXPECT_TRUE(
        SendFileRange(analysis->file, offset, static_cast<long long>(marker.size()), kLargeSize));
    EXPECT_EQ(marker, RawJobBytes);
    // A range that crosses the end of the file stops there.
    ResetRawJob();
    EXPECT_TRUE(SendFileRange(analysis->file, kLargeSize - 4, 100, 0));
    EXPECT_EQ(std::string(4, '\0'), RawJobBytes);
}

} // namespace
