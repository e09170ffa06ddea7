// Output dispatch: page selection, the conversion program of the file's
// kind, then the path by kind: text formatted by the program, everything
// else in one job through the output channels. Whatever did not reach the
// printer whole comes back as not printed, so that nobody deletes it.
#include "dispatch.h"

#include "channels.h"
#include "conversion.h"
#include "print_job.h"
#include "printer_selection.h"
#include "compose.h"
#include "../analysis/page_index.h"
#include "../analysis/page_selection.h"
#include "../common/busy_status.h"
#include "../common/stop_request.h"
#include "../common/bounded_text.h"
#include "../common/file_system.h"
#include "../common/messages.h"
#include "../common/paths.h"
#include "../settings/settings.h"
#include "../textfmt/text_print.h"

#include <cerrno>
#include <cstdio>

namespace {

ConversionKind ConversionCategory(int kind) {
    if (kind == Text)
        return kConvTxt;
    return kind == Binary ? kConvBin : kConvPS;
}

// The pages of the chosen range, picked by the user in the Select Pages
// dialog; false when the user cancelled it.
bool SelectChosenPages(FileAnalysis* analysis, const PrinterChoices& choices) {
    return SelectPages(analysis->file, choices.fromPage, choices.toPage, choices.maxPage);
}

// Composes the job into the temporary file at `path`. A failure is reported
// with the file that failed: the source that could not be read or the
// temporary file that could not be written. A stop is the user's own.
bool ComposeInto(FileAnalysis* source, const char* path, bool selectedPages) {
    if (!OpenOutputFile(path)) {
        ShowMessage(kTextTempFileFailed, path, 0, kMessageError);
        return false;
    }
    bool composed = ComposePostScript(source, selectedPages);
    bool written = !std::ferror(Output.outputStream);
    int error = errno;
    if (!CloseOutputFile() && written) {
        written = false;
        error = errno;
    }
    if ((composed && written) || StopRequested)
        return composed && written;
    bool readFailed = std::ferror(source->file) != 0;
    ShowMessage(kTextAccessError, readFailed ? source->path : path, error, kMessageError);
    return false;
}

// The job composed into a temporary file and analysed again (it is then
// plain PostScript), for a conversion program to read; none on failure.
FileAnalysis* ComposeToTemporaryFile(FileAnalysis* source, bool selectedPages) {
    char path[kPathSize];
    if (!MakeTempFileName(path, sizeof path)) {
        ShowMessage(kTextTempFileFailed, source->displayName, 0, kMessageError);
        return nullptr;
    }
    if (!ComposeInto(source, path, selectedPages)) {
        RemoveFile(path);
        return nullptr;
    }
    FileAnalysis* result = AnalyzeFile(path);
    if (!result) {
        ShowMessage(kTextCouldNotOpen, path, errno, kMessageError);
        RemoveFile(path);
        return nullptr;
    }
    CopyText(result->displayName, sizeof result->displayName, source->displayName);
    return result;
}

DispatchResult PrintText(FileAnalysis* analysis, const PrinterChoices& choices) {
    if (CurrentSettings.EnableTextPrint != 1)
        return kNotPrintedByChoice; // the settings say text files are ignored
    DeviceContext dc = CreatePrinterDC(true);
    int copies = choices.dialogCopies < 1 ? 1 : choices.dialogCopies;
    int printed = PrintTextFile(analysis->file, analysis->displayName, dc, copies,
                                choices.printToFile ? "FILE:" : nullptr);
    if (printed == kTextJobFailed) {
        ShowMessage(kTextTextPrintFailed, "", 0, kMessageError);
        return kPrintFailed;
    }
    // A stop ends the document early: what was drawn goes out, not the file.
    if (printed == kTextJobTooSmall || StopRequested)
        return kPrintFailed;
    return kPrinted;
}

DispatchResult PrintRecord(FileAnalysis* analysis, const PrinterChoices& choices) {
    if (analysis->kind == Text)
        return PrintText(analysis, choices);
    return SendToPrinter(analysis, choices.pageRangeChosen);
}

// Pages of a structured file that went out: those page selection marked, or
// all of them.
int PagesSent(const FileAnalysis& source, bool selected) {
    if (source.kind != StructuredPostScript)
        return 0;
    if (!selected)
        return static_cast<int>(source.pageCount);
    int pages = 0;
    for (long i = 0; i <= PageIndex.lastIndex; ++i)
        pages += PageIndex.entries[i].selected ? 1 : 0;
    return pages;
}

// What went out; the kind is the file's own, whatever a conversion made.
void Report(const FileAnalysis& source, const FileAnalysis& printed, bool selected,
            DispatchReport* report) {
    if (printed.kind == Text) {
        report->pages = LastTextPrintout().logicalPages;
        report->sheets = LastTextPrintout().sheets;
    } else {
        report->pages = PagesSent(source, selected);
        report->bytes = Output.bytesWritten;
    }
}

void ReleaseTemporary(FileAnalysis* analysis) {
    if (analysis)
        ReleaseFile(analysis, true);
}

} // namespace

DispatchResult DispatchFile(FileAnalysis* source, bool pageRangeChosen, DispatchReport* report) {
    const ConversionSettings& conversion =
        CurrentSettings.conversion[ConversionCategory(source->kind)];
    PrinterChoices choices;
    GetPrinterChoices(&choices);
    // Only a structured file has pages to pick; for any other kind a range
    // would cut the code at its start.
    choices.pageRangeChosen = pageRangeChosen && source->kind == StructuredPostScript;

    if (report) {
        *report = DispatchReport();
        report->kind = source->kind;
    }
    if (choices.pageRangeChosen && !SelectChosenPages(source, choices))
        return kNotPrintedByChoice;
    bool selected = choices.pageRangeChosen;

    FileAnalysis* composed = nullptr;
    FileAnalysis* converted = nullptr;
    FileAnalysis* current = source;
    if (conversion.DoConv) {
        bool structured = source->kind == StructuredPostScript;
        if ((structured && (choices.pageRangeChosen || CurrentSettings.NUpPs)) ||
            source->kind == EncapsulatedPostScript) {
            composed = ComposeToTemporaryFile(source, choices.pageRangeChosen);
            if (!composed)
                return kPrintFailed;
            current = composed;
        }
        // The range has been applied to what the program reads; its page
        // positions belong to the source file, not to the program's output.
        choices.pageRangeChosen = false;
        // A conversion that failed leaves the file unprinted, which the job
        // runner must know (it deletes printed files); a program that
        // printed by itself leaves nothing more to do.
        bool convertedOk = RunConversion(current, &converted);
        if (!converted) {
            ReleaseTemporary(composed);
            return convertedOk ? kPrinted : kPrintFailed;
        }
        current = converted;
    }

    Output.bytesWritten = 0;
    DispatchResult result = PrintRecord(current, choices);
    if (std::ferror(current->file)) {
        ShowMessage(kTextAccessError, current->path, errno, kMessageError);
        result = kPrintFailed;
    }
    if (report && result == kPrinted)
        Report(*source, *current, selected, report);

    ReleaseTemporary(converted);
    ReleaseTemporary(composed);
    return result;
}

DispatchResult SendToPrinter(FileAnalysis* analysis, bool selectedPages) {
    bool postScript = IsPostScript(analysis->kind);
    if (postScript && CurrentSettings.WarnNonPS && !IsPostScriptPrinter() &&
        ShowMessage(kTextNonPostScriptPrinter, "", 0, kMessageQuestion) != kAnswerYes)
        return kNotPrintedByChoice;

    int failure = postScript ? kTextPostScriptPrintFailed : kTextPrinterAccessFailed;
    Output.driverHeaderMode = CurrentSettings.DrvHead && postScript;
    if (!BeginJob(analysis->displayName)) {
        ShowMessage(failure, "", 0, kMessageError);
        return kPrintFailed;
    }
    char status[kMessageSize];
    FormatText(status, sizeof status, LoadText(kTextStatusPrinting),
               PathComponents(analysis->displayName, "name,ext"));
    ShowStatus(status);

    PrinterChoices choices;
    GetPrinterChoices(&choices);
    // Through the driver, the driver itself makes the device settings'
    // copies; raw, the program repeats the data.
    int copies = choices.dialogCopies;
    if (!Output.driverHeaderMode && choices.deviceCopies > copies)
        copies = choices.deviceCopies;
    if (copies < 1)
        copies = 1;

    bool sent = true;
    long long end = analysis->psOffset + analysis->psLength;
    for (int copy = 0; copy < copies && sent; ++copy) {
        if (postScript)
            sent = ComposePostScript(analysis, selectedPages);
        else
            sent = SendFileRange(analysis->file, analysis->psOffset, analysis->psLength, end);
    }
    // The tail discards every line after it, the driver's trailer and any
    // copy alike, so it ends the job once, after the last copy.
    if (Output.driverHeaderMode && !WriteText(LoadText(kTextPsDriverHeaderTail)))
        sent = false;
    // The printer refusing data, or the spooler the end of the job, leaves
    // the file unprinted. A read error and a missing prolog are reported by
    // the caller and the composition, a stop by nobody.
    bool refused = Output.writeFailed;
    bool ended = EndJob(!sent);
    if (refused || (sent && !ended)) {
        ShowMessage(failure, "", 0, kMessageError);
        return kPrintFailed;
    }
    return sent ? kPrinted : kPrintFailed;
}
