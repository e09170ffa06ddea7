// Seam: who owns a file and who may do what to it, as its security
// descriptor says, with the accounts as security identifiers in their text
// form ("S-1-5-32-544"). file_access_win32.cpp reads the descriptor and the
// local groups; the native tests give each path an access list of their own.
#pragma once

#include <string>
#include <vector>

struct AccessEntry {
    std::string account;
    unsigned long mask = 0; // the rights the entry grants or denies
    bool allows = true;
    bool inheritOnly = false; // for what is made inside it, not the file itself
};

struct FileAccess {
    std::string owner;
    bool everyone = false; // no access list at all: everybody may do everything
    std::vector<AccessEntry> entries;
};

// False when the file's security cannot be read; errno says why (ENOENT for
// a file that is not there).
bool ReadFileAccess(const char* path, FileAccess* access);
// The account this program runs as.
std::string ProcessAccount();
// True for the Administrators group and for an account that belongs to it.
bool IsAdministratorAccount(const std::string& account);
// The file a program name stands for, as the system would find it to start
// it (a bare name is searched for); the name itself when it is not found.
std::string ProgramFileOf(const std::string& name);
