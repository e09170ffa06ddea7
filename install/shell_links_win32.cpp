// Shell folders, shell links and the program manager (see shell_links.h).
#include <windows.h>
#include <ddeml.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstring>

#include "shell_links.h"
#include "../common/bounded_text.h"
#include "../common/registry.h"

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

bool SaveLink(IShellLinkA* link, const char* path, const char* target, const char* arguments,
              const char* iconPath, int iconIndex) {
    IPersistFile* file = nullptr;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))))
        return false;
    link->SetPath(target);
    if (arguments)
        link->SetArguments(arguments);
    link->SetIconLocation(iconPath, iconIndex);
    WCHAR widePath[MAX_PATH];
    bool ok = MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, MAX_PATH) > 0 &&
              SUCCEEDED(file->Save(widePath, TRUE));
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
    char found[MAX_PATH];
    return id >= 0 &&
           SUCCEEDED(SHGetFolderPathA(nullptr, id | CSIDL_FLAG_CREATE, nullptr, 0, found)) &&
           CopyText(path, size, found);
}

bool CreateShellLink(const char* linkName, const char* folderName, const char* target,
                     const char* arguments, const char* iconPath, int iconIndex) {
    char path[kPathSize];
    if (!LinkPath(linkName, folderName, path, sizeof path))
        return false;
    HRESULT com = CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    bool ok = SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_IShellLinkA, reinterpret_cast<void**>(&link)));
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
    return LinkPath(linkName, folderName, path, sizeof path) && DeleteFileA(path);
}

bool ShellLinkExists(const char* linkName, const char* folderName) {
    char path[kPathSize];
    return LinkPath(linkName, folderName, path, sizeof path) &&
           GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
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
        DWORD length = static_cast<DWORD>(std::strlen(command) + 1);
        HDDEDATA data =
            DdeCreateDataHandle(instance, reinterpret_cast<LPBYTE>(const_cast<char*>(command)),
                                length, 0, nullptr, CF_TEXT, 0);
        if (data)
            DdeClientTransaction(reinterpret_cast<LPBYTE>(data), static_cast<DWORD>(-1),
                                 conversation, nullptr, 0, XTYP_EXECUTE, 1000, nullptr);
        DdeDisconnect(conversation);
    }
    DdeFreeStringHandle(instance, name);
    DdeUninitialize(instance);
    return conversation != nullptr;
}
