// File associations: which keys are the program's, and that removing them
// leaves everything else and always ends.
#include <gtest/gtest.h>

#include "install/associations.h"
#include "install_doubles.h"
#include "tests/doubles/recorder.h"

namespace {

const char kExtensions[] = ".prn\0.ps\0";

class AssociationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetDoubles();
        ResetInstallDoubles();
    }
    static void Bind(const char* key, const char* value) {
        FakeClasses[key].defaultValue = value;
        FakeClasses[key].hasDefault = true;
    }
};

} // namespace

TEST(OwnAssociation, IsTheProgramsClassInAnyCaseAndNothingElse) {
    EXPECT_TRUE(IsOwnAssociation("Ravlen"));
    EXPECT_TRUE(IsOwnAssociation("RAVLEN"));
    EXPECT_FALSE(IsOwnAssociation("RavlenViewer"));
    EXPECT_FALSE(IsOwnAssociation("Ravlen.Document"));
    EXPECT_FALSE(IsOwnAssociation("psfile"));
    EXPECT_FALSE(IsOwnAssociation(""));
}

TEST_F(AssociationTest, RegisteringBindsEachExtensionThenWritesTheClass) {
    RegisterFileTypes(kExtensions, "C:\\R\\RAVLEN.EXE \"%1\"", "C:\\R\\RAVLEN.EXE,4");
    std::vector<std::string> expected = {
        "set .prn = Ravlen",
        "set .ps = Ravlen",
        "set Ravlen = Printer File",
        "set Ravlen\\shell\\open\\command = C:\\R\\RAVLEN.EXE \"%1\"",
        "set Ravlen\\DefaultIcon = C:\\R\\RAVLEN.EXE,4",
    };
    EXPECT_EQ(expected, RecordedCalls);
}

TEST_F(AssociationTest, RemovingLeavesOtherProgramsAssociationsAlone) {
    RegisterFileTypes(kExtensions, "cmd", "icon");
    Bind(".PCL", "RAVLEN");       // written in capitals: ours too
    Bind(".eps", "GSview.eps");   // another program's
    Bind(".rvx", "RavlenViewer"); // a name that only begins like ours
    Bind("RavlenViewer", "Some viewer");
    RemoveFileTypes();
    EXPECT_EQ(0u, FakeClasses.count(".prn"));
    EXPECT_EQ(0u, FakeClasses.count(".ps"));
    EXPECT_EQ(0u, FakeClasses.count(".PCL"));
    EXPECT_EQ(0u, FakeClasses.count("Ravlen"));
    EXPECT_EQ(0u, FakeClasses.count("Ravlen\\shell\\open\\command"));
    EXPECT_EQ("GSview.eps", FakeClasses[".eps"].defaultValue);
    EXPECT_EQ("RavlenViewer", FakeClasses[".rvx"].defaultValue);
    EXPECT_EQ(1u, FakeClasses.count("RavlenViewer"));
}

TEST_F(AssociationTest, AKeyHoldingMoreThanTheBindingKeepsTheRest) {
    Bind(".ps", "Ravlen");
    Bind(".ps\\ShellNew", "");
    FakeClasses[".ps"].hasNamedValues = true;
    RemoveFileTypes();
    ASSERT_EQ(1u, FakeClasses.count(".ps"));
    EXPECT_FALSE(FakeClasses[".ps"].hasDefault);
    EXPECT_EQ(1u, FakeClasses.count(".ps\\ShellNew"));
}

TEST_F(AssociationTest, AKeyThatCannotBeDeletedIsPassedOverAndTheScanEnds) {
    Bind(".a", "Ravlen");
    Bind(".b", "Ravlen");
    Bind(".c", "Ravlen");
    UndeletableClassKeys = {".a", ".b"};
    RemoveFileTypes(); // would loop for ever if it started again after each key
    EXPECT_EQ(1u, FakeClasses.count(".a"));
    EXPECT_EQ(1u, FakeClasses.count(".b"));
    EXPECT_EQ(0u, FakeClasses.count(".c"));
}

TEST_F(AssociationTest, AnEarlierClassIsKeptAtInstallationAndPutBackAtRemoval) {
    Bind(".prn", "prnfile");
    Bind(".ps", "psfile");
    RegisterFileTypes(".prn\0.ps\0.pcl\0", "cmd", "icon");
    EXPECT_EQ("Ravlen", FakeClasses[".prn"].defaultValue);
    // A second installation finds its own binding, which is not the earlier
    // class; the user's later choice for .ps is.
    Bind(".ps", "GSview.ps");
    RegisterFileTypes(".prn\0.ps\0", "cmd", "icon");
    RemoveFileTypes();
    EXPECT_EQ("prnfile", FakeClasses[".prn"].defaultValue);
    EXPECT_EQ("GSview.ps", FakeClasses[".ps"].defaultValue);
    EXPECT_TRUE(FakeClasses[".prn"].values.empty());
    EXPECT_TRUE(FakeClasses[".ps"].values.empty());
    EXPECT_EQ(0u, FakeClasses.count(".pcl")); // had none: it goes whole
    EXPECT_EQ(0u, FakeClasses.count("Ravlen"));
}
