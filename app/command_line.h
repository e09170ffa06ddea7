// The command-line grammar: qualifiers, then file arguments.
#pragma once

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

enum ParseOutcome { kParseContinue, kParseEnd };

// Applies the qualifiers in order; returns whether the program goes on and
// leaves the file arguments in `files`. `arguments` excludes the program name.
ParseOutcome ParseCommandLine(const std::vector<std::string>& arguments,
                              std::vector<std::string>* files, int* exitCode);

enum AfterCommandLine { kQuitNow, kEnterMessageLoop };

// Prints the file arguments as one batch (with /v shows each in the preview
// window instead, one after the other); says whether to quit.
AfterCommandLine PrintCommandLineFiles(const std::vector<std::string>& files);
