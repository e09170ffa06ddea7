// The spooler's claim on a file as Windows keeps it. Share modes and locks
// are checked per handle, so handles of this one process stand in for other
// instances, writers and readers.
#include "jobs/spool_files.h"
#include "../common/test_files.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>

namespace {

class SpoolClaimTest : public ::testing::Test {
  protected:
    void SetUp() override {
        directory = MakeScratchDirectory();
        ASSERT_FALSE(directory.empty());
        path = directory + "\\a.prn";
        ASSERT_TRUE(WriteTestFile(path, "data"));
    }
    void TearDown() override {
        ReleaseSpoolClaim(&claim);
        SetReadOnly(path, false);
        RemoveDirectoryTree(directory.c_str());
    }
    // Whether another program could open the file so.
    bool Opens(DWORD access, DWORD share) const {
        HANDLE file = CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        CloseHandle(file);
        return true;
    }
    // Claims `name` as an instance that locks the offsets `locks`.
    static bool Claims(const std::string& name, SpoolClaim* taken,
                       unsigned locks = kEveryClaimLock) {
        LockRefusal refusal;
        return ClaimSpooledFile(name.c_str(), locks, taken, &refusal) == kClaimTaken;
    }
    std::string directory, path;
    SpoolClaim claim;
};

const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

TEST_F(SpoolClaimTest, KeepsOtherInstancesAndWritersOutAndLetsReadersIn) {
    ASSERT_TRUE(Claims(path, &claim));
    FileStamp stamp;
    ASSERT_TRUE(ReadFileStamp(path.c_str(), &stamp));
    // The spooler tells a printed file from a new one by these.
    EXPECT_EQ(claim.stamp.size, 4);
    EXPECT_EQ(claim.stamp.size, stamp.size);
    EXPECT_EQ(claim.stamp.writeTime, stamp.writeTime);

    SpoolClaim second;
    EXPECT_FALSE(Claims(path, &second));
    EXPECT_FALSE(CanOpenExclusively(path.c_str()));
    struct Case {
        const char* name;
        DWORD access, share;
        bool opens;
    } cases[] = {
        {"reader sharing reading only", GENERIC_READ, FILE_SHARE_READ, true},
        {"reader sharing everything", GENERIC_READ, kShareAll, true},
        {"writer", GENERIC_WRITE, FILE_SHARE_READ, false},
        {"writer sharing everything", GENERIC_WRITE, kShareAll, false},
        {"appender", FILE_APPEND_DATA, kShareAll, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Opens(c.access, c.share), c.opens) << c.name;
    EXPECT_EQ(ReadTestFile(path), "data"); // the runner's streams
    std::string copy = directory + "\\copy.prn";
    EXPECT_TRUE(CopyFileReplacing(path.c_str(), copy.c_str())); // the backup copy
    EXPECT_EQ(ReadTestFile(copy), "data");

    ReleaseSpoolClaim(&claim);
    EXPECT_EQ(claim.handle, nullptr);
    EXPECT_TRUE(Claims(path, &second));
    ReleaseSpoolClaim(&second);
}

// An instance whose file server made it leave out the higher offsets, and
// one that locks them all, still keep each other out: they meet at the
// lowest. Only offsets beyond the end are locked, so the data stays readable.
TEST_F(SpoolClaimTest, InstancesThatLockDifferentOffsetsStillMeet) {
    const unsigned lowest = 1u << (kClaimLockOffsets - 1);
    SpoolClaim second;
    ASSERT_TRUE(Claims(path, &claim, lowest));
    EXPECT_EQ(claim.locks, lowest);
    EXPECT_FALSE(Claims(path, &second));
    ReleaseSpoolClaim(&claim);
    ASSERT_TRUE(Claims(path, &claim));
    EXPECT_EQ(claim.locks, static_cast<unsigned>(kEveryClaimLock));
    EXPECT_FALSE(Claims(path, &second, lowest));
    EXPECT_EQ(second.handle, nullptr);
    EXPECT_EQ(ReadTestFile(path), "data");
    ReleaseSpoolClaim(&claim);
    // No lock at all: the share mode alone holds the file.
    ASSERT_TRUE(Claims(path, &claim, 0));
    EXPECT_EQ(claim.locks, 0u);
    EXPECT_FALSE(Opens(GENERIC_WRITE, kShareAll));
}

TEST_F(SpoolClaimTest, LeavesReadOnlyFilesAlone) {
    SetReadOnly(path, true);
    EXPECT_FALSE(Claims(path, &claim));
    EXPECT_EQ(claim.handle, nullptr);
}

TEST_F(SpoolClaimTest, DeletesOnlyTheFileItTookAsItWasTaken) {
    std::string other = directory + "\\moved.prn";
    struct Case {
        const char* name;
        std::function<void()> meanwhile;
        ClaimedDeletion deletion;
        const char* left; // the content left under the name; none when gone
    } cases[] = {
        {"unchanged", [] {}, kClaimDeleted, nullptr},
        // A program on the file server's side writes past the share modes:
        // all the claim can see is the new time.
        {"written to",
         [this] {
             HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, kShareAll, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
             FILETIME later = {0x10000000, 0x01E00000};
             ASSERT_TRUE(SetFileTime(file, nullptr, nullptr, &later));
             CloseHandle(file);
         },
         kClaimChanged, "data"},
        // Renamed away (the claim shares deletion, hence renaming) and a new
        // file written under the name.
        {"replaced",
         [this, other] {
             ASSERT_TRUE(MoveFileExA(path.c_str(), other.c_str(), MOVEFILE_REPLACE_EXISTING));
             ASSERT_TRUE(WriteTestFile(path, "new"));
         },
         kClaimChanged, "new"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteTestFile(path, "data"));
        ASSERT_TRUE(Claims(path, &claim)) << c.name;
        c.meanwhile();
        EXPECT_EQ(DeleteClaimedFile(path.c_str(), claim), c.deletion) << c.name;
        ReleaseSpoolClaim(&claim);
        EXPECT_EQ(ReadTestFile(path), c.left ? c.left : "") << c.name;
        EXPECT_EQ(PathExists(path.c_str()), c.left != nullptr) << c.name;
    }

    // A reader that does not share deletion keeps the file, and says so.
    ASSERT_TRUE(WriteTestFile(path, "data"));
    ASSERT_TRUE(Claims(path, &claim));
    FILE* reader = fopen(path.c_str(), "rb");
    ASSERT_NE(reader, nullptr);
    errno = 0;
    EXPECT_EQ(DeleteClaimedFile(path.c_str(), claim), kClaimNotDeleted);
    EXPECT_EQ(errno, EACCES);
    fclose(reader);
    EXPECT_EQ(DeleteClaimedFile(path.c_str(), claim), kClaimDeleted);
    ReleaseSpoolClaim(&claim);
    EXPECT_FALSE(PathExists(path.c_str()));
}

// A file that will not print leaves whole for the failed directory, while it
// is held, and never over a file that is there or after it has changed.
TEST_F(SpoolClaimTest, MovesOnlyTheFileItTookAndNeverOverAnother) {
    std::string failed = directory + "\\failed";
    ASSERT_TRUE(MakeDirectory(failed.c_str()));
    std::string target = failed + "\\a.prn";
    ASSERT_TRUE(Claims(path, &claim));
    ASSERT_TRUE(WriteTestFile(target, "earlier"));
    EXPECT_EQ(MoveClaimedFile(path.c_str(), claim, target.c_str()), kClaimTargetExists);
    EXPECT_EQ(ReadTestFile(target), "earlier");
    EXPECT_EQ(ReadTestFile(path), "data");

    std::string free = failed + "\\a (2).prn";
    EXPECT_EQ(MoveClaimedFile(path.c_str(), claim, free.c_str()), kClaimMoved);
    ReleaseSpoolClaim(&claim);
    EXPECT_FALSE(PathExists(path.c_str()));
    EXPECT_EQ(ReadTestFile(free), "data");

    // Replaced under the name since it was taken: the new one stays.
    ASSERT_TRUE(WriteTestFile(path, "data"));
    ASSERT_TRUE(Claims(path, &claim));
    std::string aside = directory + "\\aside.prn";
    ASSERT_TRUE(MoveFileExA(path.c_str(), aside.c_str(), 0));
    ASSERT_TRUE(WriteTestFile(path, "new"));
    EXPECT_EQ(MoveClaimedFile(path.c_str(), claim, (failed + "\\a (3).prn").c_str()),
              kClaimMoveChanged);
    ReleaseSpoolClaim(&claim);
    EXPECT_EQ(ReadTestFile(path), "new");
    EXPECT_FALSE(PathExists((failed + "\\a (3).prn").c_str()));
}

} // namespace
