// Double of the printer-capabilities seam.
#include "printer_capabilities_double.h"

#include "common/bounded_text.h"

std::map<std::string, PrinterCapabilities> KnownPrinters;
std::string DefaultPrinterName;
int CapabilityQueries = 0;

PrinterCapabilities CapturePrinter() {
    PrinterCapabilities printer;
    CopyText(printer.printer, sizeof printer.printer, "Capture");
    const struct {
        int number;
        const char* name;
    } bins[] = {{15, "Automatically Select"},
                {256, "Default"},
                {257, "Tray 1"},
                {258, "Tray 2"},
                {259, "Tray 3"},
                {260, "Manual Feed"}};
    for (const auto& b : bins) {
        PrinterBin bin = {};
        bin.number = b.number;
        CopyText(bin.name, sizeof bin.name, b.name);
        printer.bins.push_back(bin);
    }
    const struct {
        int number;
        const char* name;
        int width, height;
    } papers[] = {{1, "Letter", 2159, 2794},
                  {5, "Legal", 2159, 3556},
                  {9, "A4", 2099, 2970},
                  {11, "A5", 1485, 2099},
                  {20, "Envelope #10", 1047, 2413}};
    for (const auto& p : papers) {
        PrinterPaper paper = {};
        paper.number = p.number;
        CopyText(paper.name, sizeof paper.name, p.name);
        paper.width = p.width;
        paper.height = p.height;
        printer.papers.push_back(paper);
    }
    printer.twoSided = true;
    printer.color = true;
    return printer;
}

void ResetKnownPrinters() {
    KnownPrinters.clear();
    KnownPrinters["Capture"] = CapturePrinter();
    DefaultPrinterName = "Capture";
    CapabilityQueries = 0;
}

bool ReadPrinterCapabilities(const char* name, PrinterCapabilities* capabilities) {
    ++CapabilityQueries;
    auto found = KnownPrinters.find(name[0] ? name : DefaultPrinterName);
    if (found == KnownPrinters.end())
        return false;
    *capabilities = found->second;
    return true;
}
