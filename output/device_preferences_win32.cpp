// The printer preferences in the device settings.
#include "device_preferences_win32.h"

#include "printer_preferences.h"
#include "../common/bounded_text.h"
#include "../settings/settings.h"

static_assert(kDeviceSimplex == DMDUP_SIMPLEX && kDeviceLongEdge == DMDUP_VERTICAL &&
                  kDeviceShortEdge == DMDUP_HORIZONTAL,
              "two-sided printing as the Windows headers number it");
static_assert(kDeviceMonochrome == DMCOLOR_MONOCHROME && kDeviceColor == DMCOLOR_COLOR,
              "colour as the Windows headers number it");
static_assert(kDeviceFormNameSize == CCHFORMNAME, "the form name's field");

void ApplySetPreferences(DEVMODEA* mode, const char* device) {
    const Settings& s = CurrentSettings;
    if (!mode || (s.Sides == kSidesPrinter && !s.PaperSource[0] && !s.PaperSize[0] &&
                  s.ColorMode == kColorPrinter))
        return;
    PrinterCapabilities printer;
    if (!ReadPrinterCapabilities(device, &printer))
        return;
    ResolvedPreferences resolved;
    ResolvePrinterPreferences(s, printer, &resolved);
    DeviceSettingsChange change;
    DeviceSettingsFor(resolved, &change);
    if (change.duplex) {
        mode->dmDuplex = static_cast<short>(change.duplexValue);
        mode->dmFields |= DM_DUPLEX;
    }
    if (change.source) {
        mode->dmDefaultSource = static_cast<short>(change.sourceValue);
        mode->dmFields |= DM_DEFAULTSOURCE;
    }
    if (change.paper) {
        // A length or width of its own, or a form name, would win over the
        // paper's number.
        mode->dmPaperSize = static_cast<short>(change.paperValue);
        mode->dmFields = (mode->dmFields | DM_PAPERSIZE) & ~(DM_PAPERLENGTH | DM_PAPERWIDTH);
        if (change.formName[0]) {
            CopyText(reinterpret_cast<char*>(mode->dmFormName), sizeof mode->dmFormName,
                     change.formName);
            mode->dmFields |= DM_FORMNAME;
        } else {
            mode->dmFields &= ~DM_FORMNAME;
        }
    }
    if (change.color) {
        mode->dmColor = static_cast<short>(change.colorValue);
        mode->dmFields |= DM_COLOR;
    }
}
