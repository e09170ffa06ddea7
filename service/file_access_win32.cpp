// A file's owner and access list from its security descriptor, and the
// local groups of an account, through the wide functions.
#include "file_access.h"

#include <windows.h>
#include <aclapi.h>
#include <lm.h>
#include <sddl.h>

#include <cerrno>

#include "../common/bounded_text.h"
#include "../common/wide_names_win32.h"

namespace {

std::string SidText(PSID sid) {
    LPWSTR text = nullptr;
    if (!sid || !ConvertSidToStringSidW(sid, &text))
        return std::string();
    std::string result = NameFromWide(text);
    LocalFree(text);
    return result;
}

bool AccountName(PSID sid, std::wstring* name, SID_NAME_USE* use) {
    WCHAR account[256];
    WCHAR domain[256];
    DWORD accountSize = 256;
    DWORD domainSize = 256;
    if (!LookupAccountSidW(nullptr, sid, account, &accountSize, domain, &domainSize, use))
        return false;
    *name = domain[0] ? std::wstring(domain) + L"\\" + account : std::wstring(account);
    return true;
}

} // namespace

bool ReadFileAccess(const char* path, FileAccess* access) {
    *access = FileAccess();
    std::wstring name = WideName(path);
    PSID owner = nullptr;
    PACL list = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    DWORD result = GetNamedSecurityInfoW(&name[0], SE_FILE_OBJECT,
                                         OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                         &owner, nullptr, &list, nullptr, &descriptor);
    if (result != ERROR_SUCCESS) {
        errno = result == ERROR_FILE_NOT_FOUND || result == ERROR_PATH_NOT_FOUND ? ENOENT : EACCES;
        return false;
    }
    access->owner = SidText(owner);
    access->everyone = list == nullptr;
    for (DWORD i = 0; list && i < list->AceCount; ++i) {
        ACE_HEADER* header = nullptr;
        if (!GetAce(list, i, reinterpret_cast<void**>(&header)))
            continue;
        // The two kinds an access list of a file holds; both keep the mask
        // and the account in the same place.
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE && header->AceType != ACCESS_DENIED_ACE_TYPE)
            continue;
        ACCESS_ALLOWED_ACE* ace = reinterpret_cast<ACCESS_ALLOWED_ACE*>(header);
        AccessEntry entry;
        entry.account = SidText(&ace->SidStart);
        entry.mask = ace->Mask;
        entry.allows = header->AceType == ACCESS_ALLOWED_ACE_TYPE;
        entry.inheritOnly = (header->AceFlags & INHERIT_ONLY_ACE) != 0;
        access->entries.push_back(entry);
    }
    LocalFree(descriptor);
    return true;
}

std::string ProcessAccount() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return std::string();
    BYTE buffer[512];
    DWORD size = 0;
    std::string account;
    if (GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size))
        account = SidText(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid);
    CloseHandle(token);
    return account;
}

// The group's name in the system's language, compared with each local group
// the account belongs to, directly or through another group.
bool IsAdministratorAccount(const std::string& account) {
    BYTE administrators[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof administrators;
    if (!CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size))
        return false;
    PSID sid = nullptr;
    if (!ConvertStringSidToSidW(WideName(account.c_str()).c_str(), &sid))
        return false;
    bool member = EqualSid(sid, administrators) != 0;
    std::wstring user;
    std::wstring group;
    SID_NAME_USE use;
    SID_NAME_USE groupUse;
    if (!member && AccountName(sid, &user, &use) && use == SidTypeUser &&
        AccountName(administrators, &group, &groupUse)) {
        size_t slash = group.rfind(L'\\');
        std::wstring groupName = slash == std::wstring::npos ? group : group.substr(slash + 1);
        LOCALGROUP_USERS_INFO_0* groups = nullptr;
        DWORD read = 0;
        DWORD total = 0;
        if (NetUserGetLocalGroups(nullptr, user.c_str(), 0, LG_INCLUDE_INDIRECT,
                                  reinterpret_cast<BYTE**>(&groups), MAX_PREFERRED_LENGTH, &read,
                                  &total) == NERR_Success) {
            for (DWORD i = 0; i < read && !member; ++i)
                member = lstrcmpiW(groups[i].lgrui0_name, groupName.c_str()) == 0;
        }
        if (groups)
            NetApiBufferFree(groups);
    }
    LocalFree(sid);
    return member;
}

std::string ProgramFileOf(const std::string& name) {
    WCHAR found[MAX_PATH];
    DWORD length =
        SearchPathW(nullptr, WideName(name.c_str()).c_str(), L".exe", MAX_PATH, found, nullptr);
    if (length == 0 || length >= MAX_PATH)
        return name;
    return NameFromWide(found);
}
