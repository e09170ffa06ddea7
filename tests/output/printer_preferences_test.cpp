// The printer preferences of a set, matched against printers and turned
// into device settings and into the request of a PostScript job sent raw.
#include "output_test_support.h"

#include "output/compose.h"
#include "common/messages.h"
#include "output/dispatch.h"
#include "output/printer_preferences.h"
#include "tests/doubles/printer_capabilities_double.h"

namespace {

// A printer that Windows describes by its trays' places, with one side and
// black only, and a form whose name is too long for the device settings.
PrinterCapabilities OfficePrinter() {
    PrinterCapabilities printer;
    CopyText(printer.printer, sizeof printer.printer, "Office");
    for (const auto& b : {std::make_pair(1, "Upper tray"), std::make_pair(2, "Lower tray"),
                          std::make_pair(4, "Manual")}) {
        PrinterBin bin = {};
        bin.number = b.first;
        CopyText(bin.name, sizeof bin.name, b.second);
        printer.bins.push_back(bin);
    }
    PrinterPaper paper = {};
    paper.number = 300;
    CopyText(paper.name, sizeof paper.name, "Continuous paper, 15 by 11 inches (fanfold)");
    paper.width = 3810;
    paper.height = 2794;
    printer.papers.push_back(paper);
    printer.twoSided = printer.color = false;
    return printer;
}

Settings Preferences(int sides, const char* source, const char* size, int color) {
    Settings s;
    SetDefaultSettings(&s);
    s.Sides = sides;
    CopyText(s.PaperSource, sizeof s.PaperSource, source);
    CopyText(s.PaperSize, sizeof s.PaperSize, size);
    s.ColorMode = color;
    return s;
}

// The device settings a change writes, one field a word.
std::string Written(const DeviceSettingsChange& c) {
    std::string out;
    if (c.duplex)
        out += " dmDuplex=" + std::to_string(c.duplexValue);
    if (c.source)
        out += " dmDefaultSource=" + std::to_string(c.sourceValue);
    if (c.paper)
        out += " dmPaperSize=" + std::to_string(c.paperValue) + " dmFormName=" + c.formName;
    if (c.color)
        out += " dmColor=" + std::to_string(c.colorValue);
    return out.empty() ? out : out.substr(1);
}

const char kRequest[] = "[{<<%s>>setpagedevice}stopped cleartomark\n";

std::string Request(std::initializer_list<const char*> lines) {
    std::string out;
    for (const char* line : lines) {
        char text[256];
        std::snprintf(text, sizeof text, kRequest, line);
        out += text;
    }
    return out.empty() ? out : "%!\n" + out;
}

class PrinterPreferences : public OutputTest {
  protected:
    void SetUp() override {
        OutputTest::SetUp();
        ResetKnownPrinters();
    }
};

TEST_F(PrinterPreferences, EachPreferenceBecomesItsDeviceFieldAndItsRequest) {
    const PrinterCapabilities capture = CapturePrinter(), office = OfficePrinter();
    const struct {
        Settings settings;
        const PrinterCapabilities& printer;
        std::string devmode, request;
        const char* warning; // what the printer lacks, as the warning names it
    } cases[] = {
        {Preferences(kSidesPrinter, "", "", kColorPrinter), capture, "", "", nullptr},
        {Preferences(kSidesOneSided, "", "", kColorPrinter), capture, "dmDuplex=1",
         Request({"/Duplex false"}), nullptr},
        {Preferences(kSidesTwoSidedLongEdge, "tray 2", "A5", kColorColor), capture,
         "dmDuplex=2 dmDefaultSource=258 dmPaperSize=11 dmFormName=A5 dmColor=2",
         Request({"/Duplex true /Tumble false", "/MediaType (Tray 2)", "/PageSize [421 595]"}),
         nullptr},
        {Preferences(kSidesTwoSidedShortEdge, "Manual Feed", "Letter", kColorMonochrome), capture,
         "dmDuplex=3 dmDefaultSource=260 dmPaperSize=1 dmFormName=Letter dmColor=1",
         Request({"/Duplex true /Tumble true", "/MediaType (Manual Feed)", "/PageSize [612 792]"}),
         nullptr},
        // Bins named by their place go by position, from the top among those
        // the printer has; a form name too long for the device settings is
        // left out of them, its number stays.
        {Preferences(kSidesPrinter, "Upper tray", "", kColorPrinter), office, "dmDefaultSource=1",
         Request({"/MediaPosition 0"}), nullptr},
        {Preferences(kSidesPrinter, "Lower tray", "continuous paper, 15 by 11 inches (fanfold)",
                     kColorMonochrome),
         office, "dmDefaultSource=2 dmPaperSize=300 dmFormName= dmColor=1",
         Request({"/MediaPosition 1", "/PageSize [1080 792]"}), nullptr},
        // What the printer lacks is left as it is set.
        {Preferences(kSidesTwoSidedLongEdge, "", "", kColorPrinter), office, "", "",
         "\"Office\" has no Sides \"two-sided-long-edge\""},
        {Preferences(kSidesPrinter, "", "", kColorColor), office, "", "",
         "\"Office\" has no ColorMode \"color\""},
        {Preferences(kSidesOneSided, "Tray 9", "", kColorPrinter), capture, "dmDuplex=1",
         Request({"/Duplex false"}), "\"Capture\" has no PaperSource \"Tray 9\""},
        {Preferences(kSidesPrinter, "", "A4 (Tab)", kColorPrinter), capture, "", "",
         "\"Capture\" has no PaperSize \"A4 (Tab)\""},
        // A name that is no PostScript: every byte that could end the string
        // or the line is escaped.
        {Preferences(kSidesPrinter, "Bin (x)\\\n\xE9", "", kColorPrinter), capture, "", "",
         "has no PaperSource"},
    };
    PrinterCapabilities odd = capture;
    PrinterBin bin = {};
    bin.number = 270;
    CopyText(bin.name, sizeof bin.name, "Bin (x)\\\n\xE9");
    odd.bins.push_back(bin);
    for (const auto& c : cases) {
        ShownBoxes.clear();
        ResolvedPreferences resolved;
        ResolvePrinterPreferences(c.settings, c.printer, &resolved);
        DeviceSettingsChange change;
        DeviceSettingsFor(resolved, &change);
        char request[1024];
        ASSERT_TRUE(PageDeviceRequest(resolved, request, sizeof request));
        EXPECT_EQ(c.devmode, Written(change)) << c.request;
        EXPECT_EQ(c.request, request);
        if (c.warning) {
            ASSERT_EQ(1u, ShownBoxes.size()) << c.warning;
            EXPECT_EQ(kMessageWarning, ShownBoxes[0].kind);
            EXPECT_NE(std::string::npos, ShownBoxes[0].text.find(c.warning)) << ShownBoxes[0].text;
        } else {
            EXPECT_TRUE(ShownBoxes.empty()) << c.request;
        }
    }
    ResolvedPreferences resolved;
    ResolvePrinterPreferences(Preferences(kSidesPrinter, "bin (X)\\\n\xE9", "", 0), odd, &resolved);
    char request[1024];
    ASSERT_TRUE(PageDeviceRequest(resolved, request, sizeof request));
    EXPECT_EQ(Request({"/MediaType (Bin \\(x\\)\\\\\\012\\351)"}), request);
}

TEST_F(PrinterPreferences, APrinterLackingAValueIsReportedOnceForEachPrinter) {
    Settings s = Preferences(kSidesPrinter, "Tray 7", "", kColorPrinter);
    PrinterCapabilities capture = CapturePrinter(), other = CapturePrinter();
    CopyText(other.printer, sizeof other.printer, "Other");
    ResolvedPreferences resolved;
    for (int file = 0; file < 3; ++file) {
        ResolvePrinterPreferences(s, capture, &resolved);
        ResolvePrinterPreferences(s, other, &resolved);
    }
    ASSERT_EQ(2u, ShownBoxes.size());
    EXPECT_EQ("The printer \"Capture\" has no PaperSource \"Tray 7\"; that preference is left as "
              "the printer is set",
              ShownBoxes[0].text);
    EXPECT_NE(std::string::npos, ShownBoxes[1].text.find("\"Other\""));
}

// The request opens every copy of a job sent raw, before the procedure set
// and the document; composed for a conversion program, the job has none.
TEST_F(PrinterPreferences, AJobSentRawOpensEachCopyWithTheRequest) {
    CurrentSettings = Preferences(kSidesTwoSidedLongEdge, "Tray 1", "", kColorMonochrome);
    CurrentSettings.PSEOFChar = 1;
    CurrentSettings.NUpPs = 1;
    CurrentSettings.WarnNonPS = 0;
    Printer.choices.dialogCopies = 2;
    const std::string doc = "%!PS-Adobe-3.0\n%%Pages: 1\n%%EndComments\n"
                            "%%Page: 1 1\nshowpage\n%%EOF\n";
    EXPECT_EQ(kPrinted, DispatchFile(Analyze(doc, "C:\\docs\\one.ps"), false));
    ASSERT_EQ(1u, Printer.jobs.size());
    const std::string copy = "\x04\n" +
                             Request({"/Duplex true /Tumble false", "/MediaType (Tray 1)"}) +
                             "%!\n%%Creator: Ravlen";
    const std::string& job = Printer.jobs[0].bytes;
    ASSERT_EQ(0u, job.find(copy)) << job.substr(0, 200);
    EXPECT_NE(std::string::npos, job.find(copy, 1));
    EXPECT_TRUE(ShownBoxes.empty());

    // Composed into a file for a conversion program, the job asks nothing.
    std::string file = MakeFile("");
    ASSERT_TRUE(OpenOutputFile(file.c_str()));
    EXPECT_TRUE(ComposePostScript(Analyze(doc, "C:\\docs\\one.ps"), false));
    CloseOutputFile();
    EXPECT_EQ(std::string::npos, ReadTestFile(file).find("[{<<"));

    ResetPrinter();
    KnownPrinters.clear(); // a printer that cannot be asked gets the job as it is
    EXPECT_EQ(kPrinted, DispatchFile(Analyze(doc, "C:\\docs\\one.ps"), false));
    ASSERT_EQ(1u, Printer.jobs.size());
    EXPECT_EQ(0u, Printer.jobs[0].bytes.find("\x04\n%!\n%%Creator: Ravlen"));
}

} // namespace
