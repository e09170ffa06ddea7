// The command-line grammar: qualifiers, then file arguments.
#pragma once

#include "../common/bounded_text.h"

#include <string>
#include <vector>

enum QualifierAction {
    kQualCopies,       // /#:n
    kQualStdin,        // /- or /-:name
    kQualBackup,       // /b:dir
    kQualClipboard,    // /c or /c:name
    kQualDelete,       // /delete
    kQualEcho,         // /e (and /d...)
    kQualSettingsFile, // /i:file
    kQualLog,          // /l:file or /l:+file
    kQualSettingsSet,  // /n:name
    kQualDefinitions,  // /p:file
    kQualQuit,         // /q
    kQualSpooler,      // /s:pattern
    kQualLockCopies,   // /x1
    kQualPreview,      // /v: the files are previewed, not printed
    kQualNothing,      // /x with another third character, /#:abc
    kQualMissingValue, // message 42
    kQualInvalid       // message 8
};

struct Qualifier {
    QualifierAction action;
    std::string value; // the text from the fourth character on
    int number;        // for kQualCopies
};

// Reads one argument that begins with "/" (never the first-argument words).
Qualifier ClassifyQualifier(const char* argument);

enum FirstWord { kNoFirstWord, kFirstInstall, kFirstUninstall, kFirstService };
enum CaptureSource { kNoCapture, kCaptureClipboard, kCaptureStdin };

// What the command line asks for beyond what its qualifiers did at once
// (settings file and set, copies, log, definitions, the spooler's pattern
// and backup directory).
struct CommandLine {
    FirstWord first = kNoFirstWord; // "/install", "/uninstall" or "/service", which take over
    // After "/service": its words, none of them applied to this run
    // (install/service_setup.h, RunServiceCommand).
    std::vector<std::string> serviceArguments;
    std::vector<std::string> files;     // the arguments from the first that is no qualifier
    bool deleteAfterPrint = false;      // /delete
    bool quitAfterCommandLine = false;  // /q
    bool previewFiles = false;          // /v: the files are previewed, not printed
    CaptureSource capture = kNoCapture; // /c or /-, the last given
    std::string captureName;            // the last value given to either; empty: default
    // Qualifiers refused and reported (invalid, lacking a value, a set or
    // settings file not found, a backup directory that cannot be made):
    // the windows program goes on without them, the console program prints
    // nothing then.
    int refusals = 0;
};

// What qualifiers set for the whole run (run_options.cpp).
// /e: every batch of the run writes a start and a done line per file to the
// activity log (each batch built here takes it, batch.h).
extern bool EchoToLog;
// /s: and /b:: the spooler serves this pattern, backing up into that
// directory (empty: no backup copies).
extern bool SpoolerMode;
extern char SpoolerPattern[kPathSize];
extern char BackupDirectory[kPathSize];
// True when `directory` is the one SpoolerPattern searches, however it is
// spelt.
bool IsSpoolDirectory(const char* directory);

enum ParseOutcome { kParseContinue, kParseEnd };

// Applies the qualifiers in order and fills `line`; says whether the program
// goes on (for a first word or a capture the front end takes over) or ends
// with `exitCode`. `arguments` excludes the program name.
ParseOutcome ParseCommandLine(const std::vector<std::string>& arguments, CommandLine* line,
                              int* exitCode);
