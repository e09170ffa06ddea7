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

#include <cstdio>
#include <cstring>

namespace {

ConversionKind CategoryOf(int kind) {
    if (kind == Text)
        return kConvTxt;
    return kind == Binary ? kConvBin : kConvPS;
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
    char shortPath[kPathSize];
    if (std::strchr(program, ' ') && ShortProgramPath(program, shortPath, sizeof shortPath))
        CopyText(program, sizeof program, shortPath);
    return FormatText(out, size, "%s %s", program, question + 1);
}

struct Token {
    const char* text;
    const char* replacement;
    const char* at; // first occurrence in the command line, or none
};

// Replaces the first of each token. The places are found in the command
// line as the template made it, so that a file or printer name which itself
// holds "&o" or "&p" is never taken for a token.
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
        if (!AppendText(out, size, next->replacement))
            return false;
        rest = next->at + std::strlen(next->text);
        next->at = nullptr;
    }
}

// Moves the text after the first " @" into a new temporary file and puts
// that file's path in its place. When no file can be written the command
// runs with its parameters inline.
bool UseResponseFile(char* command, size_t size, char* responseFile, size_t responseSize) {
    char* marker = std::strstr(command, " @");
    if (!marker)
        return true;
    if (!MakeTempFileName(responseFile, responseSize))
        return true;
    FILE* file = OpenStream(responseFile, "w");
    if (!file)
        return true;
    const char* text = marker + 2;
    bool written = std::fputs(text, file) >= 0;
    written = std::fclose(file) == 0 && written;
    if (!written)
        return true;
    marker[2] = '\0';
    return AppendText(command, size, responseFile);
}

void RemoveIfNamed(const char* path) {
    if (path[0])
        RemoveFile(path);
}

} // namespace

FileAnalysis* RunConversion(FileAnalysis* analysis) {
    const ConversionSettings& settings = CurrentSettings.conversion[CategoryOf(analysis->kind)];
    char outputFile[kPathSize];
    if (!MakeTempFileName(outputFile, sizeof outputFile))
        return nullptr;
    char responseFile[kPathSize] = "";

    char command[kPathSize];
    char expanded[kPathSize];
    char printer[kSettingTextSize];
    GetPrinterName(printer, sizeof printer);
    Token tokens[] = {
        {"&i", analysis->path, nullptr}, {"&o", outputFile, nullptr}, {"&p", printer, nullptr}};
    // The printer's name and the response file's path count as well: a
    // command cut short would run with the wrong files.
    bool fits =
        BuildCommand(settings.ConvCom, command, sizeof command) &&
        std::strlen(analysis->path) + std::strlen(command) + std::strlen(outputFile) < kPathSize &&
        ReplaceTokens(command, tokens, 3, expanded, sizeof expanded);
    if (fits) {
        ShowStatus(LoadText(kTextStatusConverting));
        fits = UseResponseFile(expanded, sizeof expanded, responseFile, sizeof responseFile);
    }
    if (!fits) {
        ShowMessage(kTextConversionTooLong, "", 0, kMessageError);
        RemoveIfNamed(responseFile);
        RemoveFile(outputFile);
        return nullptr;
    }

    // How long the program takes is anyone's guess; the bar only shows that
    // it is working.
    ProgressWaiting();
    int error = RunAndWait(expanded, settings.ShowConvWind != 0);
    RemoveIfNamed(responseFile);
    if (StopRequested) {
        // Stopped by the user, who knows why nothing is printed.
        RemoveFile(outputFile);
        return nullptr;
    }
    if (error != 0) {
        ShowMessage(kTextConversionStartFailed, "", 0, kMessageError);
        RemoveFile(outputFile);
        return nullptr;
    }
    if (settings.ConvPrint) {
        RemoveFile(outputFile);
        return nullptr;
    }
    if (!FileExists(outputFile) || FileSize(outputFile) <= 0) {
        ShowMessage(kTextConversionFailed, "", 0, kMessageError);
        RemoveFile(outputFile);
        return nullptr;
    }
    FileAnalysis* result = AnalyzeFile(outputFile);
    if (!result) {
        RemoveFile(outputFile);
        return nullptr;
    }
    CopyText(result->displayName, sizeof result->displayName, analysis->displayName);
    return result;
}
