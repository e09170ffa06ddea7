// The command line of a conversion program, made from its template
// (program?parameters with "&i", "&o", "&p" and a " @" response-file marker).
// Every name goes in as exactly one argument for whoever reads the line, and
// never as a command of its own when cmd.exe reads it.
#pragma once

#include "../common/bounded_text.h"

#include <cstddef>

// Who reads the command line, which decides how a name is written into it.
enum CommandReader {
    kReadByProgram, // the program, which splits it by the C runtime's rules
    kReadByBatch,   // cmd.exe, for a batch file that gets its parameters as written
    kReadByCmd,     // cmd.exe itself, or a template that does not say which program
                    // it runs: cmd.exe's rules, then those of any program after it
};

enum CommandResult { kCommandReady, kCommandTooLong, kCommandUnsafeName };

const size_t kNoPlace = static_cast<size_t>(-1);

// Where a name went: its text in the line, with any quotes put around it.
struct PlacedName {
    const char* name; // the caller's text
    size_t at;
    size_t length;
};

struct ConversionCommand {
    char line[kPathSize];
    CommandReader reader;
    bool cmdProgram;      // cmd.exe is the program and takes the command after its /c
    size_t marker;        // where the " @" of a response file is, or kNoPlace
    PlacedName placed[4]; // the names now in the line, the response file's last
    int placedCount;
    const char* refused; // the name that cannot be given safely
};

// The line with the input, output and printer names in place (files given
// as full paths). Too long when the names and the template reach 771
// characters; an unsafe name is left in `refused`.
CommandResult ExpandConversionCommand(const char* commandTemplate, const char* input,
                                      const char* output, const char* printer,
                                      ConversionCommand* command);

// Ends the line after the marker's "@" with the response file's path, once
// the text after the marker (command->line + marker + 2) has been written to
// that file.
CommandResult UseResponseFile(ConversionCommand* command, const char* path);

// Makes the line ready to run: cmd.exe takes off the first and the last quote
// of a command after /c that starts with a quote, so such a command gets a
// pair of its own.
CommandResult FinishConversionCommand(ConversionCommand* command);

// Seam (short_path.cpp): the full path of an existing program in the short
// form of every component; false when no such file exists.
bool ShortProgramPath(const char* program, char* out, size_t size);
