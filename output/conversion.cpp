// Conversion programs. The command comes from the kind's template:
// program?parameters, where the first "&i", "&o" and "&p" stand for the input
// file, the output file and the printer, and a " @" moves what follows it
// into a response file for programs whose command line is too short.
#include "conversion.h"

#include "conversion_command.h"
#include "process.h"
#include "printer_selection.h"
#include "../common/progress_report.h"
#include "../common/stop_request.h"
#include "../common/busy_status.h"
#include "../common/bounded_text.h"
#include "../common/code_pages.h"
#include "../common/file_system.h"
#include "../common/messages.h"
#include "../common/paths.h"
#include "../settings/settings.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

ConversionKind CategoryOf(int kind) {
    if (kind == Text)
        return kConvTxt;
    return kind == Binary ? kConvBin : kConvPS;
}

// A name the program opened relative to its current directory, made full:
// the conversion program runs in a directory of its own.
bool FullName(const char* path, char* out, size_t size) {
    bool drive = std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
                 (path[2] == '\\' || path[2] == '/');
    bool network = (path[0] == '\\' || path[0] == '/') && (path[1] == '\\' || path[1] == '/');
    if (!path[0] || drive || network)
        return CopyText(out, size, path);
    return FullPathOf(path, out, size);
}

// Writes the text after the marker to a new temporary file; false (and the
// parameters stay inline) when none can be written.
bool WriteResponseFile(const char* text, char* path, size_t size) {
    if (!MakeTempFileName(path, size))
        return false;
    FILE* file = OpenStream(path, "w");
    if (!file)
        return false;
    // Conversion programs read it in the ANSI code page; names with letters
    // that code page lacks can only be given in UTF-8.
    std::vector<char> ansi(std::strlen(text) + 1);
    bool written =
        std::fputs(AnsiNameOf(text, ansi.data(), ansi.size()) ? ansi.data() : text, file) >= 0;
    return std::fclose(file) == 0 && written;
}

void RemoveIfNamed(const char* path) {
    if (path[0])
        RemoveFile(path);
}

// The command line of the template with its names in place; reports why
// there is none. `responseFile` names the response file when one was made.
bool PrepareCommand(const ConversionSettings& settings, const FileAnalysis* analysis,
                    const char* outputFile, ConversionCommand* command, char* responseFile,
                    size_t responseSize) {
    char input[kPathSize];
    char output[kPathSize];
    char printer[kSettingTextSize];
    GetPrinterName(printer, sizeof printer);
    // The template and the printer's name come from the settings file, in
    // the ANSI code page; the names put into the template are UTF-8, and so
    // the whole command becomes.
    char commandTemplate[sizeof settings.ConvCom * 3];
    char printerName[sizeof printer * 3];
    CommandResult result = kCommandTooLong;
    if (FullName(analysis->path, input, sizeof input) &&
        FullName(outputFile, output, sizeof output) &&
        Utf8FromAnsi(settings.ConvCom, commandTemplate, sizeof commandTemplate) &&
        Utf8FromAnsi(printer, printerName, sizeof printerName))
        result = ExpandConversionCommand(commandTemplate, input, output, printerName, command);
    char response[kPathSize];
    if (result == kCommandReady) {
        ShowStatus(LoadText(kTextStatusConverting));
        if (command->marker != kNoPlace &&
            WriteResponseFile(command->line + command->marker + 2, responseFile, responseSize) &&
            FullName(responseFile, response, sizeof response))
            result = UseResponseFile(command, response);
    }
    if (result == kCommandReady)
        result = FinishConversionCommand(command);
    if (result == kCommandTooLong)
        ShowMessage(kTextConversionTooLong, "", 0, kMessageError);
    else if (result == kCommandUnsafeName)
        ShowMessage(kTextConversionUnsafeName, command->refused, 0, kMessageError);
    return result == kCommandReady;
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
    ConversionCommand command;
    if (!PrepareCommand(settings, analysis, outputFile, &command, responseFile,
                        sizeof responseFile)) {
        RemoveIfNamed(responseFile);
        RemoveFile(outputFile);
        return false;
    }

    // How long the program takes is anyone's guess; the bar only shows that
    // it is working.
    ProgressWaiting();
    unsigned long exitCode = 0;
    int error = RunAndWait(command.line, settings.ShowConvWind != 0, &exitCode);
    RemoveIfNamed(responseFile);
    // Stopped by the user, who knows why nothing is printed.
    if (!StopRequested && error != 0)
        ShowMessage(kTextConversionStartFailed, "", 0, kMessageError);
    bool ran = !StopRequested && error == 0;
    // A program that prints by itself leaves no output to judge it by: only
    // its exit code tells whether anything came out, and a file that did not
    // print must not be deleted. The output of any other program is judged
    // by that output, whatever its exit code.
    if (ran && settings.ConvPrint && exitCode != 0) {
        char code[24];
        FormatText(code, sizeof code, "%lu", exitCode);
        ShowMessage(kTextConversionExitCode, code, 0, kMessageError);
        ran = false;
    }
    if (!ran || settings.ConvPrint) {
        RemoveFile(outputFile);
        return ran;
    }
    *output = AnalyzeOutput(analysis, outputFile);
    if (!*output)
        RemoveFile(outputFile);
    return *output != nullptr;
}
