// What the console program adds to the command line, and what it makes of
// a run: the qualifiers of its own, the ones it refuses, the answer to a
// question, and the exit code.
#pragma once

#include "../jobs/batch.h"

#include <string>
#include <vector>

struct ConsoleOptions {
    bool yesToAll = false; // /y: every question is answered Yes
    bool ask = false;      // /a: questions are asked at the console, when it is one
    bool json = false;     // /j: the outcome lines as JSON, one object a line
    // The arguments for the shared grammar: the console's own qualifiers
    // taken out; everything from the first file argument on as given.
    std::vector<std::string> arguments;
    // A qualifier that needs the windows program (none: empty).
    std::string refused;
};

// Takes the console's own qualifiers (/y, /a, /j, either case) out of the
// qualifiers before the first file argument, and finds the first one that
// needs windows: /v, and "/install" or "/uninstall" as the first argument.
ConsoleOptions ReadConsoleOptions(const std::vector<std::string>& arguments);

// The answer to a question when nobody is asked: Yes with /y, else No, the
// answer that prints nothing and deletes nothing.
bool DefaultAnswerIsYes(const ConsoleOptions& options);

enum ConsoleExitCode {
    kExitPrinted = 0,   // every file printed
    kExitFailed = 1,    // at least one failed, or the run was stopped
    kExitRefused = 2,   // the command line or the settings were refused
    kExitNotPrinted = 3 // nothing failed, at least one left out by choice
};

// What the files' outcomes (files only, no list entries) add up to.
struct RunTally {
    int printed = 0;
    int notPrinted = 0;
    int failed = 0;
    bool stopped = false;
};
void CountOutcome(const BatchEntry& entry, RunTally* tally);
ConsoleExitCode ExitCodeOf(const RunTally& tally);
