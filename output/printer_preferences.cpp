// The printer preferences of a settings set, matched against the printer and
// turned into device-settings values and a setpagedevice request.
#include "printer_preferences.h"

#include "printer_selection.h"
#include "../common/bounded_text.h"
#include "../common/messages.h"
#include "../common/recent_reports.h"

#include <cmath>
#include <cstring>

namespace {

// Values already reported, as "printer|key|value", so that a set loaded for
// every file of a batch, or every scan of a spool directory, warns once.
RecentReports unavailableReported;

void ReportUnavailable(const char* printer, const char* key, const char* value) {
    if (!FirstReport(&unavailableReported, std::string(printer) + "|" + key + "|" + value))
        return;
    char argument[kMessageSize];
    FormatText(argument, sizeof argument, "\"%s\" has no %s \"%s\"", printer, key, value);
    ShowMessage(kTextPreferenceUnavailable, argument, 0, kMessageWarning);
}

const PrinterBin* FindBin(const PrinterCapabilities& printer, const char* name) {
    for (const PrinterBin& bin : printer.bins)
        if (CompareNoCase(bin.name, name) == 0)
            return &bin;
    return nullptr;
}

const PrinterPaper* FindPaper(const PrinterCapabilities& printer, const char* name) {
    for (const PrinterPaper& paper : printer.papers)
        if (CompareNoCase(paper.name, name) == 0)
            return &paper;
    return nullptr;
}

bool IsTwoSided(int sides) {
    return sides == kSidesTwoSidedLongEdge || sides == kSidesTwoSidedShortEdge;
}

// Whole points from tenths of a millimetre.
int Points(int tenths) {
    return static_cast<int>(std::lround(tenths * 72.0 / 254.0));
}

// A name as a PostScript string: backslashes and parentheses escaped, any
// byte outside printable ASCII as an octal escape, so that no name from the
// settings file can end the string or the line.
void AppendString(const char* name, char* out, size_t size) {
    AppendText(out, size, "(");
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(name); *c; ++c) {
        char piece[8];
        if (*c == '\\' || *c == '(' || *c == ')')
            FormatText(piece, sizeof piece, "\\%c", *c);
        else if (*c < 0x20 || *c > 0x7E)
            FormatText(piece, sizeof piece, "\\%03o", *c);
        else
            FormatText(piece, sizeof piece, "%c", *c);
        AppendText(out, size, piece);
    }
    AppendText(out, size, ")");
}

// One request in a stopped context of its own: a printer that refuses it
// leaves it, and the job goes on as the printer is set.
void AppendRequest(char* lines, size_t size, const char* entries) {
    AppendText(lines, size, "[{<<");
    AppendText(lines, size, entries);
    AppendText(lines, size, ">>setpagedevice}stopped cleartomark\n");
}

// Windows names some bins by their place in the printer (upper, middle,
// lower). Their position for PostScript, which numbers a printer's trays
// from 0, is taken as their order from the top among those the driver
// lists; that is the one position the program can know without the
// printer's own description. Any other bin is known by its name only: -1.
int MediaPosition(const PrinterCapabilities& printer, int number) {
    const int kTopDown[] = {1, 3, 2}; // DMBIN_UPPER (DMBIN_ONLYONE), DMBIN_MIDDLE, DMBIN_LOWER
    int position = 0;
    for (int place : kTopDown) {
        if (place == number)
            return position;
        for (const PrinterBin& bin : printer.bins)
            if (bin.number == place) {
                position++;
                break;
            }
    }
    return -1;
}

} // namespace

void ResolvePrinterPreferences(const Settings& s, const PrinterCapabilities& printer,
                               ResolvedPreferences* resolved) {
    *resolved = ResolvedPreferences();
    resolved->binPosition = -1;
    resolved->sides = s.Sides > kSidesPrinter && s.Sides < kSidesChoices ? s.Sides : kSidesPrinter;
    if (IsTwoSided(resolved->sides) && !printer.twoSided) {
        ReportUnavailable(printer.printer, "Sides", SidesName(resolved->sides));
        resolved->sides = kSidesPrinter;
    }
    resolved->colorMode = s.ColorMode > kColorPrinter && s.ColorMode < kColorModeChoices
                              ? s.ColorMode
                              : kColorPrinter;
    if (resolved->colorMode == kColorColor && !printer.color) {
        ReportUnavailable(printer.printer, "ColorMode", ColorModeName(resolved->colorMode));
        resolved->colorMode = kColorPrinter;
    }
    if (s.PaperSource[0]) {
        const PrinterBin* bin = FindBin(printer, s.PaperSource);
        resolved->hasBin = bin != nullptr;
        if (bin) {
            resolved->bin = *bin;
            resolved->binPosition = MediaPosition(printer, bin->number);
        } else
            ReportUnavailable(printer.printer, "PaperSource", s.PaperSource);
    }
    if (s.PaperSize[0]) {
        const PrinterPaper* paper = FindPaper(printer, s.PaperSize);
        resolved->hasPaper = paper != nullptr;
        if (paper)
            resolved->paper = *paper;
        else
            ReportUnavailable(printer.printer, "PaperSize", s.PaperSize);
    }
}

void DeviceSettingsFor(const ResolvedPreferences& resolved, DeviceSettingsChange* change) {
    *change = DeviceSettingsChange();
    // A printer that cannot print on both sides prints on one already.
    change->duplex = resolved.sides != kSidesPrinter;
    change->duplexValue = resolved.sides == kSidesTwoSidedLongEdge    ? kDeviceLongEdge
                          : resolved.sides == kSidesTwoSidedShortEdge ? kDeviceShortEdge
                                                                      : kDeviceSimplex;
    change->source = resolved.hasBin;
    change->sourceValue = resolved.bin.number;
    change->paper = resolved.hasPaper;
    change->paperValue = resolved.paper.number;
    if (resolved.hasPaper)
        CopyText(change->formName, sizeof change->formName, resolved.paper.name);
    if (resolved.hasPaper && std::strlen(resolved.paper.name) >= sizeof change->formName)
        change->formName[0] = '\0';
    change->color = resolved.colorMode != kColorPrinter;
    change->colorValue = resolved.colorMode == kColorColor ? kDeviceColor : kDeviceMonochrome;
}

bool PageDeviceRequest(const ResolvedPreferences& resolved, char* out, size_t size) {
    if (size == 0)
        return false;
    out[0] = '\0';
    char lines[4 * kMessageSize] = "";
    char entries[kMessageSize];
    if (resolved.sides != kSidesPrinter) {
        AppendRequest(lines, sizeof lines,
                      resolved.sides == kSidesOneSided           ? "/Duplex false"
                      : resolved.sides == kSidesTwoSidedLongEdge ? "/Duplex true /Tumble false"
                                                                 : "/Duplex true /Tumble true");
    }
    if (resolved.hasBin) {
        if (resolved.binPosition >= 0) {
            FormatText(entries, sizeof entries, "/MediaPosition %d", resolved.binPosition);
        } else {
            CopyText(entries, sizeof entries, "/MediaType ");
            AppendString(resolved.bin.name, entries, sizeof entries);
        }
        AppendRequest(lines, sizeof lines, entries);
    }
    if (resolved.hasPaper && resolved.paper.width > 0 && resolved.paper.height > 0) {
        FormatText(entries, sizeof entries, "/PageSize [%d %d]", Points(resolved.paper.width),
                   Points(resolved.paper.height));
        AppendRequest(lines, sizeof lines, entries);
    }
    if (!lines[0])
        return true;
    if (FormatText(out, size, "%%!\n%s", lines))
        return true;
    out[0] = '\0';
    return false;
}

const char* SetPreferencesRequest() {
    static char request[4 * kMessageSize];
    request[0] = '\0';
    // Colour is the driver's to give: PostScript sent raw keeps its own.
    Settings asked = CurrentSettings;
    asked.ColorMode = kColorPrinter;
    if (asked.Sides == kSidesPrinter && !asked.PaperSource[0] && !asked.PaperSize[0])
        return request;
    char name[kSettingTextSize];
    GetPrinterName(name, sizeof name);
    PrinterCapabilities printer;
    if (!name[0] || !ReadPrinterCapabilities(name, &printer))
        return request;
    ResolvedPreferences resolved;
    ResolvePrinterPreferences(asked, printer, &resolved);
    PageDeviceRequest(resolved, request, sizeof request);
    return request;
}
