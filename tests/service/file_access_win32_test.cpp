// A real file's owner and access list, read through the seam as the service
// reads the files it trusts.
#include "service/file_access.h"
#include "service/service_security.h"
#include "../common/test_files.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <cerrno>

namespace {

const unsigned long kWriteData = 0x2;

bool Grants(const FileAccess& access, const std::string& account, unsigned long right) {
    for (const AccessEntry& entry : access.entries)
        if (entry.allows && !entry.inheritOnly && entry.account == account && (entry.mask & right))
            return true;
    return false;
}

TEST(FileAccessWin32, ReadsTheOwnerAndAccessListOfARealFile) {
    std::string directory = MakeScratchDirectory();
    ASSERT_FALSE(directory.empty());
    std::string path = directory + "\\ravlen.ini";
    ASSERT_TRUE(WriteTestFile(path, "[Settings List]\r\n"));
    std::string me = ProcessAccount();
    ASSERT_EQ(me.rfind("S-1-", 0), 0u) << me;

    FileAccess access;
    ASSERT_TRUE(ReadFileAccess(path.c_str(), &access));
    EXPECT_FALSE(access.everyone);
    EXPECT_FALSE(access.entries.empty());
    EXPECT_FALSE(Grants(access, "S-1-1-0", kWriteData));
    // Made by this account, so safe for a service that runs as it.
    EXPECT_FALSE(WritableByOthers(access, me));

    // Everyone may do everything now.
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
        L"D:(A;;FA;;;WD)(A;;FA;;;SY)", SDDL_REVISION_1, &descriptor, nullptr));
    PACL list = nullptr;
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    ASSERT_TRUE(GetSecurityDescriptorDacl(descriptor, &present, &list, &defaulted));
    std::wstring name(path.begin(), path.end());
    ASSERT_EQ(SetNamedSecurityInfoW(&name[0], SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                    nullptr, list, nullptr),
              static_cast<DWORD>(ERROR_SUCCESS));
    LocalFree(descriptor);
    ASSERT_TRUE(ReadFileAccess(path.c_str(), &access));
    EXPECT_TRUE(Grants(access, "S-1-1-0", kWriteData));
    EXPECT_TRUE(WritableByOthers(access, me));

    errno = 0;
    EXPECT_FALSE(ReadFileAccess((directory + "\\missing.ini").c_str(), &access));
    EXPECT_EQ(errno, ENOENT);
    RemoveDirectoryTree(directory.c_str());
}

TEST(FileAccessWin32, KnowsTheAdministratorsAndFindsProgramsByName) {
    EXPECT_TRUE(IsAdministratorAccount("S-1-5-32-544"));
    EXPECT_FALSE(IsAdministratorAccount("S-1-1-0"));
    EXPECT_FALSE(IsAdministratorAccount("S-1-5-32-545"));
    std::string cmd = ProgramFileOf("cmd");
    ASSERT_GT(cmd.size(), 8u);
    EXPECT_EQ(CompareNoCase(cmd.c_str() + cmd.size() - 8, "\\cmd.exe"), 0) << cmd;
    EXPECT_EQ(ProgramFileOf("no-such-program"), "no-such-program");
}

} // namespace
