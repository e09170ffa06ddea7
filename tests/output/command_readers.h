// How a command line is read back on Windows, for the conversion tests: by a
// program's C runtime, by cmd.exe, and by a batch file. Each character read
// keeps the place in the line it came from, so a test can tell which
// argument a name ended up in and whether cmd.exe saw it outside quotes.
#pragma once

#include <string>
#include <vector>

// Part of a line as a reader sees it: its characters and where each stood.
struct LineView {
    std::string text;
    std::vector<size_t> places;
};

LineView WholeLine(const std::string& line);

struct ReadWord {
    std::string text;
    std::vector<size_t> from; // the place of each character of text
    size_t begin;             // the places the word was read from, quotes included
    size_t end;
};

// The argument vector by the C runtime's rules, the program's name first.
std::vector<ReadWord> SplitByCRuntime(const LineView& view);
// A batch file's parameters, %0 first: blanks , ; = split outside quotes,
// and the quotes stay.
std::vector<ReadWord> SplitBatchParameters(const LineView& view);
// A parameter as %~1 gives it: without its enclosing quotes.
std::string WithoutQuotes(const std::string& parameter);

struct CmdReading {
    std::vector<LineView> commands; // split at & and |, carets taken off
    std::vector<size_t> unquoted;   // places of & | < > ( ) ^ read outside quotes
    bool unsure = false;            // a /c command whose quotes cmd.exe may keep
};

// A line as cmd.exe runs it. For cmd.exe itself as the program, the command
// after its /c, /k or /r, with the first and the last quote taken off when
// it starts with one; else the whole line, as for a batch file.
CmdReading ReadByCmd(const std::string& line, bool afterSwitch);

// The program CreateProcess runs for `line`: a quoted name, else the first
// part up to a blank that names one of `programs` (with or without ".exe").
std::string ProgramOfLine(const std::string& line, const std::vector<std::string>& programs);
bool IsBatchName(const std::string& program);
bool IsCmdName(const std::string& program);

struct Invocation {
    std::string program;
    std::vector<std::string> arguments; // a batch file's without their quotes
};

// What runs when CreateProcess is given `line`, where `programs` exist: the
// program with the arguments it reads, or every command that cmd.exe runs
// for a batch file or as the program.
std::vector<Invocation> RunLine(const std::string& line, const std::vector<std::string>& programs);
