// Shell folders, shell links and the program manager (see shell_links.h).
// Folders and links go through the wide calls, with the program's UTF-8 names;
// the program manager of the old systems takes its commands in the ANSI code
// page.
#include <windows.h>
#include <ddeml.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstring>
#include <string>

#include "shell_links.h"
#include "../common/bounded_text.h"
#include "../common/code_pages.h"
#include "../common/registry.h"
#include "../common/wide_names_win32.h"

namespace {

int FolderId(const char* folderName) {
    if (std::strcmp(folderName, "Desktop") == 0)
        return CSIDL_DESKTOPDIRECTORY;
    if (std::strcmp(folderName, "SendTo") == 0)
        return CSIDL_SENDTO;
    if (std::strcmp(folderName, "Programs") == 0)
        return CSIDL_PROGRAMS;
    return -1;
}

bool LinkPath(const char* linkName, const char* folderName, char* path, size_t size) {
    char folder[kPathSize];
    return GetShellFolder(folderName, folder, sizeof folder) &&
           FormatText(path, size, "%s\\%s.lnk", folder, linkName);
}

bool SaveLink(IShellLinkW* link, const char* path, const char* target, const char* arguments,
              const char* iconPath, int iconIndex) {
    IPersistFile* file = nullptr;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))))
        return false;
    link->SetPath(WideName(target).c_str());
    if (arguments)
        link->SetArguments(WideName(arguments).c_str());
    link->SetIconLocation(WideName(iconPath).c_str(), iconIndex);
    bool ok = SUCCEEDED(file->Save(WideName(path).c_str(), TRUE));
    file->Release();
    return ok;
}

} // namespace

bool GetShellFolder(const char* folderName, char* path, size_t size) {
    char key[kPathSize];
    if (FormatText(key, sizeof key,
                   "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders\\%s",
                   folderName) &&
        ReadUserRegistryValue(key, path, size) && path[0])
        return true;
    // The key is the shell's cache and may not hold a folder the shell has
    // not been asked for yet; the shell itself knows them all.
    int id = FolderId(folderName);
    WCHAR found[MAX_PATH];
    return id >= 0 &&
           SUCCEEDED(SHGetFolderPathW(nullptr, id | CSIDL_FLAG_CREATE, nullptr, 0, found)) &&
           NameFromWide(found, path, size);
}

bool CreateShellLink(const char* linkName, const char* folderName, const char* target,
                     const char* arguments, const char* iconPath, int iconIndex) {
    char path[kPathSize];
    if (!LinkPath(linkName, folderName, path, sizeof path))
        return false;
    HRESULT com = CoInitialize(nullptr);
    IShellLinkW* link = nullptr;
    bool ok = SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_IShellLinkW, reinterpret_cast<void**>(&link)));
    // A link that was not saved is a failure: the caller reports it.
    ok = ok && SaveLink(link, path, target, arguments, iconPath, iconIndex);
    if (link)
        link->Release();
    if (SUCCEEDED(com))
        CoUninitialize();
    return ok;
}

bool DeleteShellLink(const char* linkName, const char* folderName) {
    char path[kPathSize];
    return LinkPath(linkName, folderName, path, sizeof path) && DeleteFileW(WideName(path).c_str());
}

bool ShellLinkExists(const char* linkName, const char* folderName) {
    char path[kPathSize];
    return LinkPath(linkName, folderName, path, sizeof path) &&
           GetFileAttributesW(WideName(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool ShellHasFolders() {
    OSVERSIONINFOEXA wanted = {};
    wanted.dwOSVersionInfoSize = sizeof wanted;
    wanted.dwMajorVersion = 4;
    return VerifyVersionInfoA(&wanted, VER_MAJORVERSION,
                              VerSetConditionMask(0, VER_MAJORVERSION, VER_GREATER_EQUAL)) != 0;
}

static HDDEDATA CALLBACK RefuseTransactions(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR,
                                            ULONG_PTR) {
    return nullptr;
}

bool SendProgmanCommand(const char* command) {
    DWORD instance = 0;
    if (DdeInitializeA(&instance, RefuseTransactions, CBF_FAIL_ALLSVRXACTIONS, 0) !=
        DMLERR_NO_ERROR)
        return false;
    HSZ name = DdeCreateStringHandleA(instance, "progman", CP_WINANSI);
    HCONV conversation = DdeConnect(instance, name, name, nullptr);
    if (conversation) {
        // CF_TEXT: the program manager reads its commands in the ANSI code
        // page. A name with letters that code page lacks gets its stand-ins.
        std::string ansi = AnsiTextOf(command);
        DWORD length = static_cast<DWORD>(ansi.size() + 1);
        HDDEDATA data = DdeCreateDataHandle(instance, reinterpret_cast<LPBYTE>(&ansi[0]), length, 0,
                                            nullptr, CF_TEXT, 0);
        if (data)
            DdeClientTransaction(reinterpret_cast<LPBYTE>(data), static_cast<DWORD>(-1),
                                 conversation, nullptr, 0, XTYP_EXECUTE, 1000, nullptr);
        DdeDisconnect(conversation);
    }
    DdeFreeStringHandle(instance, name);
    DdeUninitialize(instance);
    return conversation != nullptr;
}
