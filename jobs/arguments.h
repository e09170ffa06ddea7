// The argument vector as the program's own runtime builds it: the command line
// split by the usual rules, then wildcards expanded. The runtime's globbing is
// switched off so that the rules here hold on every build.
#pragma once

#include <string>
#include <vector>

struct Argument {
    std::string text;
    bool quoted; // the argument began with a double quote: never expanded
};

// Splits a command line: blanks and tabs separate, double quotes group,
// 2n backslashes before a quote give n and open or close the group,
// 2n+1 give n and a literal quote; "" inside a group is a literal quote.
// The first element is the program's name: it ends at its closing quote or at
// a blank, and backslashes in it are plain characters.
std::vector<Argument> SplitCommandLine(const char* commandLine);

// The program's command line split as above. A program of the ANSI code page
// gets its command line (`ansiLine`, brought to UTF-8 by the caller) with "?"
// or a look-alike letter in place of each letter the code page lacks, so such
// a name would name, or as a pattern match, other files. The line as the
// system keeps it (`wholeLine`, UTF-8; none or empty where there is none) is
// split instead, and each name keeps its own characters.
std::vector<Argument> SplitProgramCommandLine(const char* ansiLine, const char* wholeLine);

// Replaces each unquoted argument holding "*" or "?" by the matching names
// (directory part kept, "." and ".." left out, sorted without regard to
// case); an argument matching nothing stays as written.
std::vector<std::string> ExpandArguments(const std::vector<Argument>& arguments);
