// Doubles of the printer and the process seams for the output tests: a
// scripted printer whose spooler jobs and pass-through blocks are recorded,
// and a conversion program played by a function of the test.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "output/printer_selection.h"

struct SpoolerJob {
    std::string printer;
    std::string document;
    std::string outputFile;
    std::string dataType;
    std::string bytes;
    std::vector<size_t> writes;
    bool aborted = false;
    bool closed = false;
};

struct PrinterScript {
    std::string name = "Capture";
    PrinterChoices choices = {1, 1, false, 0, 0, 0, false};
    bool postScript = true;
    bool haveDevice = true;  // CreatePrinterDC gives the text device recorder
    bool passThrough = true; // the driver supports PASSTHROUGH
    bool xpsDriver = false;
    bool jobStarts = true;
    bool jobEnds = true; // the spooler takes the end of the job
    bool outputFileChosen = true;
    std::string outputFile = "C:\\out\\job.prn";
    size_t writesBeforeFailure = ~size_t(0);
    size_t writesBeforeStop = ~size_t(0); // raises StopRequested after that many writes

    std::vector<SpoolerJob> jobs;
    std::vector<bool> deviceContexts; // applyOrientation of each CreatePrinterDC
    int outputFileQuestions = 0;
    std::string passThroughBytes;          // the data of the blocks, counts removed
    std::vector<size_t> passThroughBlocks; // block sizes, counts included
    bool badBlockCount = false;            // a block whose count did not match its size

    // The Select Pages dialog: builds the real index, then the user either
    // cancels or keeps the items of pageChoice (all when it is empty).
    bool pagesConfirmed = true;
    std::vector<bool> pageChoice;
    std::vector<std::string> pageSelections; // "from-to of max" of each dialog
    std::vector<std::string> pageLabels;

    // The conversion program: gets the command line, returns RunAndWait's
    // result; exitCode is the code it exits with.
    std::function<int(const std::string&)> program;
    unsigned long exitCode = 0;
    std::vector<std::string> commands;
    std::vector<bool> commandWindows;
    std::vector<std::string> existingPrograms;     // for ShortProgramPath
    std::map<std::string, std::string> shortNames; // existing files and their short forms
};
extern PrinterScript Printer;

void ResetPrinter();
