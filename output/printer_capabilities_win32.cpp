// What a printer's driver offers for the printer preferences, from
// DeviceCapabilities. The ANSI calls, as the printer selection uses: the
// names meet the settings file's, which keeps the ANSI code page.
#include "../settings/printer_capabilities.h"

#include <windows.h>
#include <winspool.h>

#include <cstring>
#include <vector>

#include "../common/bounded_text.h"

namespace {

// A driver's list is not trusted beyond this many entries.
const int kMostEntries = 1000;

int Count(const char* device, WORD capability) {
    int count = DeviceCapabilitiesA(device, nullptr, capability, nullptr, nullptr);
    return count < 0 ? 0 : count > kMostEntries ? kMostEntries : count;
}

// Names of `width` characters each, without a terminating zero when they
// fill it.
void CopyName(const char* from, size_t width, char* to, size_t size) {
    size_t length = strnlen(from, width);
    if (length >= size)
        length = size - 1;
    std::memcpy(to, from, length);
    to[length] = '\0';
}

bool DefaultPrinterName(char* name, DWORD size) {
    return GetDefaultPrinterA(name, &size) != 0;
}

void ReadBins(const char* device, PrinterCapabilities* capabilities) {
    int count = Count(device, DC_BINS);
    if (count == 0 || Count(device, DC_BINNAMES) != count)
        return;
    std::vector<WORD> numbers(count);
    std::vector<char> names(static_cast<size_t>(count) * 24);
    if (DeviceCapabilitiesA(device, nullptr, DC_BINS, reinterpret_cast<LPSTR>(numbers.data()),
                            nullptr) != count ||
        DeviceCapabilitiesA(device, nullptr, DC_BINNAMES, names.data(), nullptr) != count)
        return;
    for (int i = 0; i < count; ++i) {
        PrinterBin bin = {};
        bin.number = numbers[i];
        CopyName(&names[static_cast<size_t>(i) * 24], 24, bin.name, sizeof bin.name);
        capabilities->bins.push_back(bin);
    }
}

void ReadPapers(const char* device, PrinterCapabilities* capabilities) {
    int count = Count(device, DC_PAPERS);
    if (count == 0 || Count(device, DC_PAPERNAMES) != count || Count(device, DC_PAPERSIZE) != count)
        return;
    std::vector<WORD> numbers(count);
    std::vector<char> names(static_cast<size_t>(count) * 64);
    std::vector<POINT> sizes(count);
    if (DeviceCapabilitiesA(device, nullptr, DC_PAPERS, reinterpret_cast<LPSTR>(numbers.data()),
                            nullptr) != count ||
        DeviceCapabilitiesA(device, nullptr, DC_PAPERNAMES, names.data(), nullptr) != count ||
        DeviceCapabilitiesA(device, nullptr, DC_PAPERSIZE, reinterpret_cast<LPSTR>(sizes.data()),
                            nullptr) != count)
        return;
    for (int i = 0; i < count; ++i) {
        PrinterPaper paper = {};
        paper.number = numbers[i];
        CopyName(&names[static_cast<size_t>(i) * 64], 64, paper.name, sizeof paper.name);
        paper.width = static_cast<int>(sizes[i].x);
        paper.height = static_cast<int>(sizes[i].y);
        capabilities->papers.push_back(paper);
    }
}

} // namespace

bool ReadPrinterCapabilities(const char* name, PrinterCapabilities* capabilities) {
    capabilities->bins.clear();
    capabilities->papers.clear();
    capabilities->twoSided = capabilities->color = false;
    capabilities->printer[0] = '\0';
    char device[kSettingTextSize];
    if (name[0] ? !CopyText(device, sizeof device, name)
                : !DefaultPrinterName(device, sizeof device))
        return false;
    // A printer that is not there answers -1 to everything.
    if (DeviceCapabilitiesA(device, nullptr, DC_FIELDS, nullptr, nullptr) < 0)
        return false;
    CopyText(capabilities->printer, sizeof capabilities->printer, device);
    ReadBins(device, capabilities);
    ReadPapers(device, capabilities);
    capabilities->twoSided = DeviceCapabilitiesA(device, nullptr, DC_DUPLEX, nullptr, nullptr) == 1;
    capabilities->color =
        DeviceCapabilitiesA(device, nullptr, DC_COLORDEVICE, nullptr, nullptr) == 1;
    return true;
}
