// A service may run with more rights than the users who drop files into its
// spool directory. Whatever tells it what to run (its settings file, its own
// program, and every program, prolog and definitions file its settings name)
// must be safe from them: writable by administrators, SYSTEM and the
// service's own account only.
#pragma once

#include "file_access.h"

#include <string>
#include <vector>

// The files the service trusts, as full paths: the settings file in use, the
// service program, the definitions file, and each conversion program and
// prolog that any set of the settings file names.
std::vector<std::string> FilesTheServiceTrusts(const std::string& serviceProgram);
// True when an account other than administrators, SYSTEM, the system's
// installer and `ownAccount` owns the file or may write it, delete it or
// change who may.
bool WritableByOthers(const FileAccess& access, const std::string& ownAccount);
// The first of `files` that others may write, or whose security cannot be
// read; empty when there is none. A file that is not there counts as safe:
// nothing can be run from it.
std::string FirstUnsafeFile(const std::vector<std::string>& files, const std::string& ownAccount);
