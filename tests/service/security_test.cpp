// The service's check of the files it trusts: who may change them, as their
// owners and access lists say, and which files those are.
#include "service/service_security.h"

#include "tests/app/app_test_support.h"
#include "tests/doubles/service_doubles.h"
#include "common/file_system.h"
#include "textfmt/definitions.h"

namespace {

const char kAdministrators[] = "S-1-5-32-544";
const char kSystem[] = "S-1-5-18";
const char kUsers[] = "S-1-5-32-545";
const char kEveryone[] = "S-1-1-0";
const char kLocalService[] = "S-1-5-19";
const char kNetworkService[] = "S-1-5-20";
const char kAdmin[] = "S-1-5-21-1-2-3-500";  // an account in the Administrators group
const char kClerk[] = "S-1-5-21-1-2-3-1001"; // one that is not

const unsigned long kFull = 0x1F01FF;
const unsigned long kReadExecute = 0x1200A9;

AccessEntry Allow(const char* account, unsigned long mask, bool inheritOnly = false) {
    return AccessEntry{account, mask, true, inheritOnly};
}

TEST(WritableByOthers, OnlyAdministratorsSystemAndTheServiceItselfMayChangeAFile) {
    Service = ServiceScript();
    Service.administrators = {kAdmin};
    std::vector<AccessEntry> system = {Allow(kSystem, kFull), Allow(kAdministrators, kFull)};
    auto with = [&](std::vector<AccessEntry> more) {
        std::vector<AccessEntry> entries = system;
        entries.insert(entries.end(), more.begin(), more.end());
        return entries;
    };
    struct Case {
        const char* name;
        std::string owner;
        std::vector<AccessEntry> entries;
        bool writable;
    } cases[] = {
        {"as installed", kAdministrators, with({Allow(kUsers, kReadExecute)}), false},
        {"owned by an administrator's account", kAdmin, system, false},
        {"owned by the system's installer",
         "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464", system, false},
        {"owned by a user, who may change the list", kClerk, system, true},
        {"users may modify", kAdministrators, with({Allow(kUsers, 0x1301BF)}), true},
        {"everyone may write its data", kAdministrators, with({Allow(kEveryone, 0x2)}), true},
        {"everyone may append", kAdministrators, with({Allow(kEveryone, 0x4)}), true},
        {"a user may delete it", kAdministrators, with({Allow(kClerk, 0x10000)}), true},
        {"a user may change its list", kAdministrators, with({Allow(kClerk, 0x40000)}), true},
        {"a user may take it", kAdministrators, with({Allow(kClerk, 0x80000)}), true},
        {"generic write", kAdministrators, with({Allow(kUsers, 0x40000000)}), true},
        {"generic all", kAdministrators, with({Allow(kUsers, 0x10000000)}), true},
        {"attributes only", kAdministrators, with({Allow(kUsers, kReadExecute | 0x100)}), false},
        {"for what a folder makes only", kAdministrators, with({Allow(kUsers, 0x40000000, true)}),
         false},
        {"creator owner", kAdministrators, with({Allow("S-1-3-0", kFull)}), false},
        {"denied to users", kAdministrators, with({AccessEntry{kUsers, kFull, false, false}}),
         false},
        {"the service's own account", kAdministrators, with({Allow(kLocalService, kFull)}), false},
        {"another service's account", kAdministrators, with({Allow(kNetworkService, kFull)}), true},
        {"an administrator's account", kAdministrators, with({Allow(kAdmin, kFull)}), false},
    };
    for (const Case& c : cases) {
        FileAccess access;
        access.owner = c.owner;
        access.entries = c.entries;
        EXPECT_EQ(WritableByOthers(access, kLocalService), c.writable) << c.name;
    }
    FileAccess none; // no access list: everyone may do anything
    none.owner = kAdministrators;
    none.everyone = true;
    EXPECT_TRUE(WritableByOthers(none, kLocalService));
}

class TrustedFilesTest : public ShellTest {};

// The settings file, the program, the definitions, and whatever any set
// names to run or send: its conversion programs and its prolog.
TEST_F(TrustedFilesTest, AreEveryFileTheSettingsNameAndTheFirstUnsafeOneIsNamed) {
    UseSettings("PrologName=prolog.ps\r\nConvComPS=\"C:\\Program Files\\gs\\gs.exe\" ? &i &o\r\n"
                "[Plotter]\r\nConvComBin=hpgl2ps?&i &o\r\nConvComTxt=C:\\tools\\a2ps.exe -o &o "
                "&i\r\n",
                "Plotter=1\r\n");
    SetDefinitionsPath(Path("pp.txt").c_str());
    std::string program = Path("ravlensvc.exe");
    std::vector<std::string> files = FilesTheServiceTrusts(program);
    char prolog[kPathSize];
    ASSERT_TRUE(FullPathOf("prolog.ps", prolog, sizeof prolog));
    char settings[kPathSize], definitions[kPathSize];
    ASSERT_TRUE(FullPathOf(Path("ravlen.ini").c_str(), settings, sizeof settings));
    ASSERT_TRUE(FullPathOf(Path("pp.txt").c_str(), definitions, sizeof definitions));
    char gs[kPathSize], a2ps[kPathSize];
    ASSERT_TRUE(FullPathOf("C:\\Program Files\\gs\\gs.exe", gs, sizeof gs));
    ASSERT_TRUE(FullPathOf("C:\\tools\\a2ps.exe", a2ps, sizeof a2ps));
    // The default set is in force and listed too: it is looked at twice.
    EXPECT_EQ(files, (Strings{settings, program, definitions, prolog, gs, prolog, gs, a2ps,
                              "C:\\found\\hpgl2ps.exe"}));

    Service = ServiceScript();
    FileAccess safe;
    safe.owner = kAdministrators;
    FileAccess open = safe;
    open.entries.push_back(Allow(kUsers, 0x1301BF));
    for (const std::string& file : files)
        Service.access[file] = safe;
    EXPECT_EQ(FirstUnsafeFile(files, kLocalService), "");
    Service.access[a2ps] = open;
    Service.access[gs] = open;
    EXPECT_EQ(FirstUnsafeFile(files, kLocalService), gs);
    Service.access.erase(gs); // not there: nothing can run from it
    EXPECT_EQ(FirstUnsafeFile(files, kLocalService), a2ps);
    Service.unreadable = {program};
    EXPECT_EQ(FirstUnsafeFile(files, kLocalService), program);
}

} // namespace
