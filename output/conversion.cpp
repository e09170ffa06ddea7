// Conversion programs. The command comes from the kind's template:
// program?parameters, where the first "&i", "&o" and "&p" stand for the input
// file, the output file and the printer, and a " @" moves what follows it
// into a response file for programs whose command line is too short.
#include "conversion.h"

#include "process.h"
#include "printer_selection.h"
#include "../app/progress.h"
#include "../app/shell_state.h"
#include "../app/shell_ui.h"
#include "../common/bounded_text.h"
#include "../common/file_system.h"
#include "../common/messages.h"
#include "../common/paths.h"
#include "../settings/settings.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

ConversionKind CategoryOf(int kind) {
    if (kind == Text)
        return kConvTxt;
    return kind == Binary ? kConvBin : kConvPS;
}

// `text` without one pair of enclosing quotes.
bool Unquoted(const char* text, char* out, size_t size) {
    size_t length = std::strlen(text);
    if (length < 2 || text[0] != '"' || text[length - 1] != '"')
        return CopyText(out, size, text);
    if (length - 2 >= size)
        return false;
    std::memcpy(out, text + 1, length - 2);
    out[length - 2] = '\0';
    return true;
}

// The command line before its tokens are replaced. A program path with
// blanks is put in its short form, so that the command line stays
// unambiguous for the program that splits it.
bool BuildCommand(const char* commandTemplate, char* out, size_t size) {
    const char* question = std::strchr(commandTemplate, '?');
    if (!question)
        return CopyText(out, size, commandTemplate);
    char program[kPathSize];
    size_t length = static_cast<size_t>(question - commandTemplate);
    if (length >= sizeof program)
        return false;
    std::memcpy(program, commandTemplate, length);
    program[length] = '\0';
    char bare[kPathSize];
    char shortPath[kPathSize];
    if (std::strchr(program, ' ') && Unquoted(program, bare, sizeof bare) &&
        ShortProgramPath(bare, shortPath, sizeof shortPath))
        CopyText(program, sizeof program, shortPath);
    return FormatText(out, size, "%s %s", program, question + 1);
}

// Batch files run through cmd.exe, which reads the whole command line as
// commands of its own.
bool RunsThroughCmd(const char* command) {
    char program[kPathSize];
    if (!ProgramOfCommand(command, program, sizeof program))
        return false;
    size_t length = std::strlen(program);
    if (length < 4)
        return false;
    char extension[5];
    for (size_t i = 0; i < 4; ++i)
        extension[i] =
            static_cast<char>(std::tolower(static_cast<unsigned char>(program[length - 4 + i])));
    extension[4] = '\0';
    return std::strcmp(extension, ".bat") == 0 || std::strcmp(extension, ".cmd") == 0;
}

// Characters that split a name into several arguments, or, for cmd.exe,
// that end or redirect the command unless quoted.
bool NeedsQuotes(const char* name, bool cmd) {
    return name[0] == '\0' || std::strpbrk(name, cmd ? " \t&|<>(),;=" : " \t") != nullptr;
}

// Characters that no quoting protects: a quote ends the quoted name, and
// cmd.exe expands "%" and, with delayed expansion, "!" inside quotes too,
// and a caret is taken up again by every batch line that passes the name on.
bool Unquotable(const char* name, bool cmd) {
    for (const char* c = name; *c; ++c)
        if (static_cast<unsigned char>(*c) < 32 || *c == '"')
            return true;
    return cmd && std::strpbrk(name, "%^!") != nullptr;
}

// `name` as exactly one argument: unchanged when nothing in it needs care,
// else in the short form of an existing file when that needs none, else in
// quotes. False when no form is safe (reported by the caller).
bool CommandArgument(const char* name, bool isFile, bool cmd, char* out, size_t size) {
    if (!NeedsQuotes(name, cmd) && !Unquotable(name, cmd))
        return CopyText(out, size, name);
    char shortName[kPathSize];
    if (isFile && ShortProgramPath(name, shortName, sizeof shortName))
        name = shortName;
    if (Unquotable(name, cmd))
        return false;
    if (!NeedsQuotes(name, cmd))
        return CopyText(out, size, name);
    // Programs split their arguments by the C runtime's rules, where the
    // backslashes before a closing quote escape it unless doubled.
    size_t trailing = 0;
    for (size_t length = std::strlen(name);
         trailing < length && name[length - trailing - 1] == '\\';)
        ++trailing;
    bool fits = CopyText(out, size, "\"") && AppendText(out, size, name);
    for (size_t i = 0; fits && !cmd && i < trailing; ++i)
        fits = AppendText(out, size, "\\");
    return fits && AppendText(out, size, "\"");
}

struct Token {
    const char* text;
    const char* replacement;
    const char* at; // first occurrence in the command line, or none
    size_t placed;  // where the replacement went in the expanded command
};

// Replaces the first of each token. The places are found in the command
// line as the template made it, so that a file or printer name which itself
// holds "&o", "&p" or " @" is never taken for a token or the marker.
bool ReplaceTokens(const char* command, Token* tokens, int count, char* out, size_t size) {
    for (int i = 0; i < count; ++i)
        tokens[i].at = std::strstr(command, tokens[i].text);
    out[0] = '\0';
    const char* rest = command;
    for (;;) {
        Token* next = nullptr;
        for (int i = 0; i < count; ++i)
            if (tokens[i].at && tokens[i].at >= rest && (!next || tokens[i].at < next->at))
                next = &tokens[i];
        if (!next)
            return AppendText(out, size, rest);
        size_t used = std::strlen(out);
        size_t head = static_cast<size_t>(next->at - rest);
        if (used + head >= size)
            return false;
        std::memcpy(out + used, rest, head);
        out[used + head] = '\0';
        next->placed = used + head;
        if (!AppendText(out, size, next->replacement))
            return false;
        rest = next->at + std::strlen(next->text);
        next->at = nullptr;
    }
}

// Moves the text after the marker (at `marker`, the expanded " @") into a
// new temporary file and puts that file's path in its place. When no file
// can be written the command runs with its parameters inline.
bool UseResponseFile(char* command, size_t size, size_t marker, char* responseFile,
                     size_t responseSize) {
    if (!MakeTempFileName(responseFile, responseSize))
        return true;
    FILE* file = OpenStream(responseFile, "w");
    if (!file)
        return true;
    const char* text = command + marker + 2;
    bool written = std::fputs(text, file) >= 0;
    written = std::fclose(file) == 0 && written;
    if (!written)
        return true;
    command[marker + 2] = '\0';
    return AppendText(command, size, responseFile);
}

void RemoveIfNamed(const char* path) {
    if (path[0])
        RemoveFile(path);
}

// The names the command is given, each made one safe argument.
struct Arguments {
    char input[2 * kPathSize + 2];
    char output[2 * kPathSize + 2];
    char printer[2 * kSettingTextSize + 2];
};

bool MakeArguments(const char* command, const char* input, const char* output, Arguments* args) {
    bool cmd = RunsThroughCmd(command);
    char printer[kSettingTextSize];
    GetPrinterName(printer, sizeof printer);
    struct Name {
        const char* text;
        bool isFile;
        char* out;
        size_t size;
    } names[] = {{input, true, args->input, sizeof args->input},
                 {output, true, args->output, sizeof args->output},
                 {printer, false, args->printer, sizeof args->printer}};
    for (const Name& name : names) {
        if (!CommandArgument(name.text, name.isFile, cmd, name.out, name.size)) {
            ShowMessage(kTextConversionUnsafeName, name.text, 0, kMessageError);
            return false;
        }
    }
    return true;
}

// The command line of the template with its names in place; reports why
// there is none. `responseFile` names the response file when one was made.
bool ExpandCommand(const ConversionSettings& settings, const FileAnalysis* analysis,
                   const char* outputFile, char* expanded, size_t size, char* responseFile,
                   size_t responseSize) {
    char command[kPathSize];
    bool fits =
        BuildCommand(settings.ConvCom, command, sizeof command) &&
        std::strlen(analysis->path) + std::strlen(command) + std::strlen(outputFile) < kPathSize;
    Arguments args;
    if (fits && !MakeArguments(command, analysis->path, outputFile, &args))
        return false;
    Token tokens[] = {{"&i", args.input, nullptr, 0},
                      {"&o", args.output, nullptr, 0},
                      {"&p", args.printer, nullptr, 0},
                      {" @", " @", nullptr, 0}};
    fits = fits && ReplaceTokens(command, tokens, 4, expanded, size);
    if (fits) {
        ShowStatus(LoadText(kTextStatusConverting));
        if (std::strstr(command, " @"))
            fits = UseResponseFile(expanded, size, tokens[3].placed, responseFile, responseSize);
    }
    if (!fits)
        ShowMessage(kTextConversionTooLong, "", 0, kMessageError);
    return fits;
}

// The program's output analysed, under the source's name; none (reported)
// when it holds nothing or cannot be read.
FileAnalysis* AnalyzeOutput(const FileAnalysis* analysis, const char* outputFile) {
    if (!FileExists(outputFile) || FileSize(outputFile) <= 0) {
        ShowMessage(kTextConversionFailed, "", 0, kMessageError);
        return nullptr;
    }
    FileAnalysis* result = AnalyzeFile(outputFile);
    if (!result) {
        ShowMessage(kTextCouldNotOpen, outputFile, errno, kMessageError);
        return nullptr;
    }
    CopyText(result->displayName, sizeof result->displayName, analysis->displayName);
    return result;
}

} // namespace

bool RunConversion(FileAnalysis* analysis, FileAnalysis** output) {
    *output = nullptr;
    const ConversionSettings& settings = CurrentSettings.conversion[CategoryOf(analysis->kind)];
    char outputFile[kPathSize];
    if (!MakeTempFileName(outputFile, sizeof outputFile)) {
        ShowMessage(kTextTempFileFailed, analysis->displayName, 0, kMessageError);
        return false;
    }
    char responseFile[kPathSize] = "";
    char expanded[kPathSize];
    if (!ExpandCommand(settings, analysis, outputFile, expanded, sizeof expanded, responseFile,
                       sizeof responseFile)) {
        RemoveIfNamed(responseFile);
        RemoveFile(outputFile);
        return false;
    }

    // How long the program takes is anyone's guess; the bar only shows that
    // it is working.
    ProgressWaiting();
    int error = RunAndWait(expanded, settings.ShowConvWind != 0);
    RemoveIfNamed(responseFile);
    // Stopped by the user, who knows why nothing is printed.
    if (!StopRequested && error != 0)
        ShowMessage(kTextConversionStartFailed, "", 0, kMessageError);
    if (StopRequested || error != 0 || settings.ConvPrint) {
        RemoveFile(outputFile);
        return !StopRequested && error == 0;
    }
    *output = AnalyzeOutput(analysis, outputFile);
    if (!*output)
        RemoveFile(outputFile);
    return *output != nullptr;
}
