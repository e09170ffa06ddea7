// The settings record and the settings file: one section per settings set,
// holding only the values that differ from their defaults, and the list of
// sets in the section "Settings List".
#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "../common/code_pages.h"
#include "../common/messages.h"
#include "../common/recent_reports.h"
#include "profile.h"
#include "set_printer.h"
#include "settings.h"

static const char kDefaultFileName[] = "ravlen.ini";
static const char kGeneralSection[] = "General";
static const char kListSection[] = "Settings List";
static const char kInstallSection[] = "Install";
static const char kVersion[] = "2.1.5";
static const char kWindowPlacementKey[] = "DlgPos";

// The profile default strings are formatted from the same values the record
// starts with, so an absent key and a key at its default read alike.
// A choice key stores one of a list of names and reads an unknown one as its
// first; a printer-name key is a text that must not be a number.
enum KeyType { kIntKey, kLengthKey, kTextKey, kChoiceKey, kPrinterNameKey };

// Numbers read from the file are held to [low, high]: a value beyond it takes
// the nearest bound, so a hand-edited extreme keeps its direction but can no
// longer make the layout arithmetic overflow. Texts carry their field's size.
struct SettingKey {
    const char* name;
    KeyType type;
    size_t offset;
    int intDefault, intLow, intHigh;
    float lengthDefault, lengthLow, lengthHigh;
    const char* textDefault;
    size_t textSize;
    const char* const* choices; // kChoiceKey: the names, intHigh + 1 of them
};

// Flags (0 or 1) and integers with a range of their own.
#define FLAG_KEY(field, value) INT_KEY(field, value, 0, 1)
#define INT_KEY(field, value, low, high)                                                           \
    {                                                                                              \
#field, kIntKey, offsetof(Settings, field), value, low, high, 0.0f, 0.0f, 0.0f, nullptr,   \
            0, nullptr                                                                             \
    }
#define LENGTH_KEY(field, value, low, high)                                                        \
    {                                                                                              \
#field, kLengthKey, offsetof(Settings, field), 0, 0, 0, value, low, high, nullptr, 0,      \
            nullptr                                                                                \
    }
#define TEXT_KEY(field, value)                                                                     \
    {                                                                                              \
#field, kTextKey, offsetof(Settings, field), 0, 0, 0, 0.0f, 0.0f, 0.0f, value,             \
            sizeof(Settings::field), nullptr                                                       \
    }
#define CONVERSION_OFFSET(field, kind)                                                             \
    (offsetof(Settings, conversion) + (kind) * sizeof(ConversionSettings) +                        \
     offsetof(ConversionSettings, field))
#define CONVERSION_FLAG_KEY(field, kind, suffix)                                                   \
    {                                                                                              \
#field #suffix, kIntKey, CONVERSION_OFFSET(field, kind), 0, 0, 1, 0.0f, 0.0f, 0.0f,        \
            nullptr, 0, nullptr                                                                    \
    }
#define CONVERSION_TEXT_KEY(field, kind, suffix)                                                   \
    {                                                                                              \
#field #suffix, kTextKey, CONVERSION_OFFSET(field, kind), 0, 0, 0, 0.0f, 0.0f, 0.0f, "",   \
            sizeof(ConversionSettings::field), nullptr                                             \
    }

// The printer preferences. A choice is kept as an int, its index in `names`.
template <size_t N> constexpr int LastChoice(const char* const (&)[N]) {
    return static_cast<int>(N) - 1;
}
#define CHOICE_KEY(field, names)                                                                   \
    {                                                                                              \
#field, kChoiceKey, offsetof(Settings, field), 0, 0, LastChoice(names), 0.0f, 0.0f, 0.0f,  \
            nullptr, 0, names                                                                      \
    }
#define PRINTER_NAME_KEY(field)                                                                    \
    {                                                                                              \
#field, kPrinterNameKey, offsetof(Settings, field), 0, 0, 0, 0.0f, 0.0f, 0.0f, "",         \
            sizeof(Settings::field), nullptr                                                       \
    }

const char* const kSidesNames[kSidesChoices] = {"printer", "one-sided", "two-sided-long-edge",
                                                "two-sided-short-edge"};
const char* const kColorModeNames[kColorModeChoices] = {"printer", "color", "monochrome"};

// Lengths in inches. Margins and gutters may take up to a large sheet (A0's
// long side is under 47 inches); a frame line is thin.
#define MARGIN_KEY(field, value) LENGTH_KEY(field, value, 0.0f, 50.0f)

// The order of this table is the order of the keys in a section the program
// writes; files written by earlier versions list them the same way.
static const SettingKey kKeys[] = {
    INT_KEY(EnableTextPrint, 1, -1, 1),
    FLAG_KEY(EnablePrefsDD, 0),
    FLAG_KEY(EnableSpooler, 0),
    FLAG_KEY(ShowPrintDlg, 1),
    FLAG_KEY(QuitFromComLine, 0),
    FLAG_KEY(NameInHeader, 1),
    FLAG_KEY(ProgrBar, 0),
    FLAG_KEY(SavePos, 0),
    FLAG_KEY(SysTray, 0),
    TEXT_KEY(PrinterName, ""),
    TEXT_KEY(FileTypes, ""),
    FLAG_KEY(PSEOFChar, 1),
    FLAG_KEY(NUpPs, 0),
    FLAG_KEY(UseRange, 1),
    FLAG_KEY(DrvHead, 0),
    FLAG_KEY(WarnNonPS, 1),
    TEXT_KEY(PrologName, ""),
    INT_KEY(PlaceEPS, 1, 0, 2),
    FLAG_KEY(FrameEPS, 0),
    FLAG_KEY(NameEPS, 0),
    INT_KEY(Width, 2, 1, 100),
    INT_KEY(Height, 1, 1, 100),
    FLAG_KEY(Landscape, 1),
    FLAG_KEY(AdvHoriz, 1),
    FLAG_KEY(Frame, 1),
    MARGIN_KEY(LeftMarg, 0.7f),
    MARGIN_KEY(RightMarg, 0.35f),
    MARGIN_KEY(TopMarg, 0.35f),
    MARGIN_KEY(BottomMarg, 0.35f),
    MARGIN_KEY(xGutter, 0.1f),
    MARGIN_KEY(yGutter, 0.1f),
    LENGTH_KEY(FrameWidth, 0.003f, 0.0f, 1.0f),
    INT_KEY(SizeOp, 0, 0, 2),
    INT_KEY(Lines, 75, 2, 500),
    INT_KEY(Chars, 80, 2, 500),
    INT_KEY(TabCount, 3, 1, 25),
    FLAG_KEY(LineNo, 0),
    FLAG_KEY(PrettyPrint, 0),
    INT_KEY(OEMTrans, 0, 0, 2),
    FLAG_KEY(WrapLines, 0),
    TEXT_KEY(FontName, "Courier"),
    TEXT_KEY(HeaderStr, "&f&c&d&rPage &#(&t)"),
    TEXT_KEY(FooterStr, ""),
    FLAG_KEY(PprBndHd, 0),
    CONVERSION_FLAG_KEY(DoConv, kConvTxt, Txt),
    CONVERSION_FLAG_KEY(DoConv, kConvPS, PS),
    CONVERSION_FLAG_KEY(DoConv, kConvBin, Bin),
    CONVERSION_FLAG_KEY(ShowConvWind, kConvTxt, Txt),
    CONVERSION_FLAG_KEY(ShowConvWind, kConvPS, PS),
    CONVERSION_FLAG_KEY(ShowConvWind, kConvBin, Bin),
    CONVERSION_FLAG_KEY(ConvPrint, kConvTxt, Txt),
    CONVERSION_FLAG_KEY(ConvPrint, kConvPS, PS),
    CONVERSION_FLAG_KEY(ConvPrint, kConvBin, Bin),
    CONVERSION_TEXT_KEY(ConvCom, kConvTxt, Txt),
    CONVERSION_TEXT_KEY(ConvCom, kConvPS, PS),
    CONVERSION_TEXT_KEY(ConvCom, kConvBin, Bin),
    CHOICE_KEY(Sides, kSidesNames),
    PRINTER_NAME_KEY(PaperSource),
    PRINTER_NAME_KEY(PaperSize),
    CHOICE_KEY(ColorMode, kColorModeNames),
    INT_KEY(SpoolRetries, 10, 0, 10000),
    TEXT_KEY(SpoolFailedDir, ""),
};

// Numbers are read through a 10-byte buffer: at most 9 characters, which
// also keeps "%d" clear of overflow.
enum { kNumberReadSize = 10, kPlacementReadSize = 20 };

static Settings DefaultRecord() {
    Settings record;
    SetDefaultSettings(&record);
    return record;
}

Settings CurrentSettings = DefaultRecord();
char CurrentSetName[256] = "";
char DefaultSetName[50] = "";
char UseDefaultText[50] = "";
char SettingsFileName[256] = "ravlen.ini";
bool MetricUnits = false;
bool FileTypeLookupEnabled = true;

static int* IntField(Settings* record, const SettingKey& key) {
    return reinterpret_cast<int*>(reinterpret_cast<char*>(record) + key.offset);
}
static float* LengthField(Settings* record, const SettingKey& key) {
    return reinterpret_cast<float*>(reinterpret_cast<char*>(record) + key.offset);
}
static char* TextField(Settings* record, const SettingKey& key) {
    return reinterpret_cast<char*>(record) + key.offset;
}

void SetDefaultSettings(Settings* record) {
    memset(record, 0, sizeof *record);
    for (const SettingKey& key : kKeys) {
        switch (key.type) {
        case kIntKey:
        case kChoiceKey:
            *IntField(record, key) = key.intDefault;
            break;
        case kLengthKey:
            *LengthField(record, key) = key.lengthDefault;
            break;
        case kTextKey:
        case kPrinterNameKey:
            CopyText(TextField(record, key), key.textSize, key.textDefault);
            break;
        }
    }
}

// Reads a decimal length at the start of `text` as "%f" would, but only in
// the plain form the program writes: the C libraries of the two builds differ
// on hexadecimal, "inf" and "nan", and no page can be laid out with those.
static bool ScanLength(const char* text, float* length) {
    const char* p = text;
    while (isspace((unsigned char)*p))
        p++;
    const char* start = p;
    if (*p == '+' || *p == '-')
        p++;
    int digits = 0;
    for (; isdigit((unsigned char)*p); p++)
        digits++;
    if (*p == '.')
        for (p++; isdigit((unsigned char)*p); p++)
            digits++;
    if (digits == 0)
        return false;
    const char* exponent = p;
    if (*exponent == 'e' || *exponent == 'E') {
        exponent++;
        if (*exponent == '+' || *exponent == '-')
            exponent++;
        if (isdigit((unsigned char)*exponent)) {
            p = exponent;
            while (isdigit((unsigned char)*p))
                p++;
        }
    }
    char number[kNumberReadSize];
    if ((size_t)(p - start) >= sizeof number)
        return false;
    memcpy(number, start, p - start);
    number[p - start] = '\0';
    float value = strtof(number, nullptr);
    if (!std::isfinite(value))
        return false;
    *length = value;
    return true;
}

// Reads "%d" from `*text` and moves past it; false when nothing scans or the
// number does not fit an int.
static bool ScanInt(const char** text, int* number) {
    char* end;
    errno = 0;
    long value = strtol(*text, &end, 10);
    if (end == *text || errno == ERANGE || value < INT_MIN || value > INT_MAX)
        return false;
    *number = (int)value;
    *text = end;
    return true;
}

static int HeldInt(int value, const SettingKey& key) {
    return value < key.intLow ? key.intLow : value > key.intHigh ? key.intHigh : value;
}
static float HeldLength(float value, const SettingKey& key) {
    return value < key.lengthLow ? key.lengthLow : value > key.lengthHigh ? key.lengthHigh : value;
}

// Refused values already reported, as "file|set|key", so that reloading a
// set does not repeat the warning.
static RecentReports refusedReported;

// `message` says why: kTextSettingTooLong or kTextSettingNotKnown.
static void ReportRefused(const char* section, const char* key, int message) {
    std::string entry = std::string(SettingsFileName) + "|" + section + "|" + key;
    if (!FirstReport(&refusedReported, entry))
        return;
    // The set's name is the settings file's, in the ANSI code page; messages
    // are UTF-8.
    char argument[kMessageSize];
    FormatText(argument, sizeof argument, "%s (settings \"%s\")", key, Utf8OfAnsi(section).c_str());
    ShowMessage(message, argument, 0, kMessageWarning);
}

// Two bytes beyond the field: a value in quotes one character too long would
// otherwise lose its last character to the platform's reading and look whole.
bool ReadSettingText(const char* section, const char* key, const char* defaultValue, char* buf,
                     size_t size) {
    char value[kPathSize + 2];
    int room = static_cast<int>(size + 2 < sizeof value ? size + 2 : sizeof value);
    ReadProfileValue(section, key, defaultValue, value, room, SettingsFileName);
    if (strlen(value) < size)
        return CopyText(buf, size, value);
    CopyText(buf, size, defaultValue);
    ReportRefused(section, key, kTextSettingTooLong);
    return false;
}

// The index of the name the file holds, in any letter case; a name the key
// does not know is reported and read as the first, as is one too long for
// any of them. An empty value is the first too, as an absent key would be.
static int ReadChoice(const SettingKey& key) {
    enum { kChoiceSize = 32 };
    char value[kChoiceSize];
    if (!ReadSettingText(CurrentSetName, key.name, key.choices[0], value, sizeof value) ||
        !value[0])
        return 0;
    for (int i = 0; i <= key.intHigh; ++i)
        if (CompareNoCase(value, key.choices[i]) == 0)
            return i;
    ReportRefused(CurrentSetName, key.name, kTextSettingNotKnown);
    return 0;
}

static void ReadKey(Settings* record, const SettingKey& key) {
    char fallback[32];
    char value[kNumberReadSize];
    switch (key.type) {
    case kIntKey: {
        FormatText(fallback, sizeof fallback, "%d", key.intDefault);
        ReadProfileValue(CurrentSetName, key.name, fallback, value, kNumberReadSize,
                         SettingsFileName);
        const char* p = value;
        int number;
        if (ScanInt(&p, &number))
            *IntField(record, key) = HeldInt(number, key);
        break;
    }
    case kLengthKey: {
        FormatText(fallback, sizeof fallback, "%f", key.lengthDefault);
        ReadProfileValue(CurrentSetName, key.name, fallback, value, kNumberReadSize,
                         SettingsFileName);
        float length;
        if (ScanLength(value, &length))
            *LengthField(record, key) = HeldLength(length, key);
        break;
    }
    case kTextKey:
        ReadSettingText(CurrentSetName, key.name, key.textDefault, TextField(record, key),
                        key.textSize);
        break;
    case kChoiceKey:
        *IntField(record, key) = ReadChoice(key);
        break;
    case kPrinterNameKey: {
        char* field = TextField(record, key);
        if (ReadSettingText(CurrentSetName, key.name, key.textDefault, field, key.textSize) &&
            !UsablePrinterName(field, key.textSize - 1)) {
            CopyText(field, key.textSize, key.textDefault);
            ReportRefused(CurrentSetName, key.name, kTextSettingNotKnown);
        }
        break;
    }
    }
}

// The profile functions drop blanks round a value and one pair of matching
// quotes round it, which would turn a command such as
// "C:\Program Files\gs.exe" ? "&i" into a broken one. Such a text is written
// inside one more pair of quotes, which the reading takes off again; any other
// reader of the file gets the text back the same way. Only texts of up to 253
// characters can be protected so: at 254 the reading would cut the last one.
static bool IsProfileBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r') || c == '\x1a';
}

static bool NeedsQuotes(const char* text) {
    size_t length = strlen(text);
    if (length == 0 || length > kSettingTextSize - 2)
        return false;
    if (IsProfileBlank(text[0]) || IsProfileBlank(text[length - 1]))
        return true;
    return length >= 2 && (text[0] == '"' || text[0] == '\'') && text[length - 1] == text[0];
}

// A value equal to its default is deleted rather than written, so a section
// holds only what differs from the defaults.
static void WriteKey(Settings* record, const SettingKey& key) {
    char value[kSettingTextSize + 2];
    const char* text = nullptr;
    switch (key.type) {
    case kIntKey:
        if (*IntField(record, key) != key.intDefault) {
            FormatText(value, sizeof value, "%d", *IntField(record, key));
            text = value;
        }
        break;
    case kLengthKey:
        if (*LengthField(record, key) != key.lengthDefault) {
            FormatText(value, sizeof value, "%f", *LengthField(record, key));
            text = value;
        }
        break;
    case kChoiceKey: {
        int choice = *IntField(record, key);
        if (choice > 0 && choice <= key.intHigh)
            text = key.choices[choice];
        break;
    }
    case kTextKey:
    case kPrinterNameKey:
        if (strcmp(TextField(record, key), key.textDefault) == 0)
            break;
        text = TextField(record, key);
        if (NeedsQuotes(text)) {
            FormatText(value, sizeof value, "\"%s\"", text);
            text = value;
        }
        break;
    }
    WriteProfileValue(CurrentSetName, key.name, text, SettingsFileName);
}

void TransferSettings(Settings* record, TransferDirection direction) {
    if (direction == kReadSettings) {
        for (const SettingKey& key : kKeys)
            ReadKey(record, key);
        return;
    }
    WriteProfileValue(kGeneralSection, "Version", kVersion, SettingsFileName);
    WriteProfileValue(kListSection, DefaultSetName, "1", SettingsFileName);
    WriteProfileValue(kListSection, CurrentSetName, "1", SettingsFileName);
    for (const SettingKey& key : kKeys)
        WriteKey(record, key);
    if (!record->SavePos)
        WriteProfileValue(CurrentSetName, kWindowPlacementKey, nullptr, SettingsFileName);
    if (record->FileTypes[0])
        FileTypeLookupEnabled = true;
}

static bool IsListed(const char* name) {
    char value[kNumberReadSize];
    return ReadProfileValue(kListSection, name, "", value, sizeof value, SettingsFileName) > 0;
}

bool LoadSettingsSet(const char* name) {
    // A cut name would silently load some other set.
    if (strlen(name) >= sizeof CurrentSetName)
        return false;
    if (!NamesDefaultSet(name) && !IsListed(name))
        return false;
    if (name != CurrentSetName)
        CopyText(CurrentSetName, sizeof CurrentSetName, name);
    TransferSettings(&CurrentSettings, kReadSettings);
    SelectSettingsPrinter();
    return true;
}

bool SelectSettingsFile(const char* name) {
    if (!name)
        name = kDefaultFileName;
    // A cut file name would read and write some other file.
    if (strlen(name) >= sizeof SettingsFileName) {
        ShowMessage(kTextCouldNotOpen, name, ENAMETOOLONG, kMessageError);
        return false;
    }
    CopyText(SettingsFileName, sizeof SettingsFileName, name);
    CopyText(DefaultSetName, sizeof DefaultSetName, LoadText(kTextDefaultSettingsName));
    CopyText(UseDefaultText, sizeof UseDefaultText, LoadText(kTextUseDefault));
    LoadSettingsSet(DefaultSetName);
    MetricUnits = ReadSystemProfileInt("intl", "iMeasure", 1) == 0;
    return true;
}

void DeleteSettingsSet(const char* name) {
    WriteProfileValue(kListSection, name, nullptr, SettingsFileName);
    WriteProfileValue(name, nullptr, nullptr, SettingsFileName);
}

bool SameSetName(const char* a, const char* b) {
    return CompareNoCase(a, b) == 0;
}

bool NamesDefaultSet(const char* name) {
    for (const char* p = name; *p; ++p)
        if (StartsWithNoCase(p, DefaultSetName))
            return true;
    return false;
}

// The private-profile functions drop blanks round section names and keys,
// read "=" as the end of a key and "]" as the end of a section name, and
// take a line starting with ";" for a comment: a set named so is saved but
// never found again. Deleting "Settings List" would unlist every set, and
// deleting "Install" would leave the uninstaller without its record.
bool StorableSetName(const char* name, size_t maxChars) {
    size_t length = strlen(name);
    if (length == 0 || length > maxChars || name[0] == ';')
        return false;
    if (IsProfileBlank(name[0]) || IsProfileBlank(name[length - 1]))
        return false;
    for (const char* p = name; *p; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c < 0x20 || c == 0x7F || strchr("[]=", c))
            return false;
    }
    for (const char* section : {kGeneralSection, kListSection, kInstallSection})
        if (SameSetName(name, section))
            return false;
    return true;
}

int ReadWholeKeyNames(const char* section, char* buf, int size, const char* file) {
    if (!buf || size <= 0)
        return 0;
    buf[0] = '\0';
    if (size < 3)
        return 0;
    int length = ReadProfileValue(section, nullptr, "", buf, size, file);
    if (length <= 0 || length > size - 2) {
        buf[0] = buf[1] = '\0';
        return 0;
    }
    // At size - 2 the platform may have cut the last name, and leaves the
    // byte after it unwritten.
    if (length == size - 2) {
        buf[length] = '\0';
        while (length > 0 && buf[length - 1] != '\0')
            length--;
    }
    buf[length] = '\0';
    return length;
}

void ListSettingsSets(char* buffer, int size) {
    if (!buffer || size <= 0)
        return;
    if (size < 2) {
        buffer[0] = '\0';
        return;
    }
    if (ReadWholeKeyNames(kListSection, buffer, size, SettingsFileName) > 0)
        return;
    // The default set exists even before anything is saved. Its name is
    // followed by the empty name that ends the list.
    CopyText(buffer, size - 1, DefaultSetName);
    buffer[strlen(buffer) + 1] = '\0';
}

bool ReadWindowPlacement(int* type, int* onTop, int* left, int* top) {
    char value[kPlacementReadSize];
    ReadProfileValue(CurrentSetName, kWindowPlacementKey, "", value, sizeof value,
                     SettingsFileName);
    int numbers[4];
    const char* p = value;
    for (int& number : numbers)
        if (!ScanInt(&p, &number))
            return false;
    *type = numbers[0];
    *onTop = numbers[1] != 0;
    *left = numbers[2];
    *top = numbers[3];
    return true;
}

void SaveWindowPlacement(int type, int onTop, int left, int top) {
    if (!CurrentSettings.SavePos)
        return;
    char value[64];
    FormatText(value, sizeof value, "%d %d %d %d", type, onTop, left, top);
    WriteProfileValue(CurrentSetName, kWindowPlacementKey, value, SettingsFileName);
}

// The preview window's place is one for every set, as the window is one.
static const char kPreviewPlacementKey[] = "PreviewPos";

bool ReadPreviewPlacement(int numbers[5]) {
    if (!CurrentSettings.SavePos)
        return false;
    char value[64];
    ReadProfileValue(kGeneralSection, kPreviewPlacementKey, "", value, sizeof value,
                     SettingsFileName);
    const char* p = value;
    for (int i = 0; i < 5; ++i)
        if (!ScanInt(&p, &numbers[i]))
            return false;
    return true;
}

void SavePreviewPlacement(const int numbers[5]) {
    if (!CurrentSettings.SavePos)
        return;
    char value[80];
    FormatText(value, sizeof value, "%d %d %d %d %d", numbers[0], numbers[1], numbers[2],
               numbers[3], numbers[4]);
    WriteProfileValue(kGeneralSection, kPreviewPlacementKey, value, SettingsFileName);
}

const char* SidesName(int choice) {
    return kSidesNames[choice > 0 && choice < kSidesChoices ? choice : 0];
}

const char* ColorModeName(int choice) {
    return kColorModeNames[choice > 0 && choice < kColorModeChoices ? choice : 0];
}

// A driver numbers its bins and forms too; a number here is one of those
// (a DMBIN_ or DMPAPER_ value), which means something else on every driver.
bool UsablePrinterName(const char* name, size_t maxChars) {
    if (strlen(name) > maxChars)
        return false;
    const char* p = name;
    if (*p == '+' || *p == '-')
        p++;
    bool digits = false;
    while (isdigit((unsigned char)*p) || *p == '.') {
        digits = digits || *p != '.';
        p++;
    }
    return *p || !digits;
}

void SelectSettingsPrinter() {
    if (!SelectPrinterByName(CurrentSettings.PrinterName))
        ShowMessage(kTextPrinterFailed, Utf8OfAnsi(CurrentSettings.PrinterName).c_str(), 0,
                    kMessageWarning);
}

void ReadSettingsSet(const char* name, Settings* record) {
    // Read under its own name, which then comes back; what the reading
    // reports it reports once, as loading does.
    char inForce[sizeof CurrentSetName];
    CopyText(inForce, sizeof inForce, CurrentSetName);
    CopyText(CurrentSetName, sizeof CurrentSetName, name);
    SetDefaultSettings(record);
    TransferSettings(record, kReadSettings);
    CopyText(CurrentSetName, sizeof CurrentSetName, inForce);
}

Settings SettingsForFile(const char* path) {
    char found[sizeof CurrentSetName];
    if (!FindSettingsSetForFile(path, found, sizeof found) || SameSetName(found, CurrentSetName))
        return CurrentSettings;
    Settings record;
    ReadSettingsSet(found, &record);
    return record;
}
