// The settings record: every option of the current settings set, one field per
// key of the settings file, and the operations that load, save and list sets.
#pragma once

#include "../common/bounded_text.h"

enum ConversionKind { kConvTxt = 0, kConvPS = 1, kConvBin = 2, kConversionKinds = 3 };

struct ConversionSettings {
    int DoConv;        // run the conversion program first
    int ShowConvWind;  // show its window
    int ConvPrint;     // the program prints by itself
    char ConvCom[256]; // program, "?", parameter template
};

// Printer preferences. Sides and ColorMode are stored by the names of the
// printing world's own vocabulary (the Internet Printing Protocol's); the
// first value of each leaves the printer as it is set.
enum SidesChoice {
    kSidesPrinter = 0,
    kSidesOneSided,
    kSidesTwoSidedLongEdge,
    kSidesTwoSidedShortEdge,
    kSidesChoices
};
enum ColorModeChoice { kColorPrinter = 0, kColorColor, kColorMonochrome, kColorModeChoices };
// PaperSource and PaperSize hold the driver's names for a bin and a form, as
// long as the driver's lists of them make those names.
enum { kPaperSourceChars = 24, kPaperSizeChars = 64 };

struct Settings {
    int ShowPrintDlg;
    int QuitFromComLine;
    int EnablePrefsDD;
    int EnableSpooler;
    int NameInHeader;
    int ProgrBar;
    int SavePos;
    int SysTray;
    char PrinterName[kSettingTextSize];
    char FileTypes[kSettingTextSize];
    int PSEOFChar;
    int UseRange;
    int DrvHead;
    int NUpPs;
    int WarnNonPS;
    char PrologName[kPathSize];
    int PlaceEPS;
    int FrameEPS;
    int NameEPS;
    int Width;
    int Height;
    int Landscape;
    int AdvHoriz;
    int Frame;
    float LeftMarg;
    float TopMarg;
    float RightMarg;
    float BottomMarg;
    float xGutter;
    float yGutter;
    float FrameWidth;
    int EnableTextPrint;
    int SizeOp;
    int Lines;
    int Chars;
    int TabCount;
    int LineNo;
    int WrapLines;
    int PrettyPrint;
    int OEMTrans;
    char FontName[kSettingTextSize];
    char HeaderStr[kSettingTextSize];
    char FooterStr[kSettingTextSize];
    int PprBndHd;
    ConversionSettings conversion[kConversionKinds];
    int Sides;                               // SidesChoice
    char PaperSource[kPaperSourceChars + 1]; // empty: as the printer is set
    char PaperSize[kPaperSizeChars + 1];     // empty: as the printer is set
    int ColorMode;                           // ColorModeChoice
    // A spooled file that keeps failing: after this many failed attempts
    // (0: never) it is moved into SpoolFailedDir (empty: a folder "failed"
    // beside the spool directory) with a note of why.
    int SpoolRetries;
    char SpoolFailedDir[kPathSize];
};

// The stored names of the Sides and ColorMode choices.
const char* SidesName(int choice);
const char* ColorModeName(int choice);
// A name that PaperSource or PaperSize can hold: not a number, which a
// driver's number for a bin or form would be, and at most `maxChars` long.
bool UsablePrinterName(const char* name, size_t maxChars);

extern Settings CurrentSettings;
extern char CurrentSetName[256];
extern char DefaultSetName[50];
extern char UseDefaultText[50];
extern char SettingsFileName[256];
extern bool MetricUnits;
extern bool FileTypeLookupEnabled;

enum TransferDirection { kReadSettings, kWriteSettings };

// Every field at its default: the record of a set that was never saved.
void SetDefaultSettings(Settings* record);

// Makes `name` (none: "ravlen.ini") the settings file and its default set
// current. A name longer than SettingsFileName holds is refused (reported);
// the file in use stays.
bool SelectSettingsFile(const char* name);
// Makes a listed set (or any name containing DefaultSetName) current. False,
// changing nothing, for an unlisted name or one longer than CurrentSetName holds.
bool LoadSettingsSet(const char* name);
// Reads (kReadSettings) the set CurrentSetName into `record`, or writes it
// there and lists it. A value in the file that does not scan leaves the
// record's field as it was; a number beyond its key's range takes the nearest
// bound; a text too long for its field gives the default (ReadSettingText).
void TransferSettings(Settings* record, TransferDirection direction);
// Reads text `key` of the set `section` into buf (size bytes with the NUL).
// A value that does not fit is never used cut: buf gets defaultValue, the
// value is reported once (not again when the set is read again), and the
// result is false.
bool ReadSettingText(const char* section, const char* key, const char* defaultValue, char* buf,
                     size_t size);
void DeleteSettingsSet(const char* name);
// Set names compare without regard to letter case, as the settings file's
// sections and keys do.
bool SameSetName(const char* a, const char* b);
// The name contains DefaultSetName, in any letter case: such a set loads
// without being listed and cannot be deleted.
bool NamesDefaultSet(const char* name);
// The settings file can keep `name` as a set of its own: it is none of the
// file's other sections, and no character of it is lost or read otherwise
// as a section name or a key (no "[", "]", "=" or control character, no ";"
// first, no blank at either end). At most maxChars characters.
bool StorableSetName(const char* name, size_t maxChars);
// Names of all sets as NUL-terminated texts ending with an empty one.
void ListSettingsSets(char* buffer, int size);
bool ReadWindowPlacement(int* type, int* onTop, int* left, int* top);
void SaveWindowPlacement(int type, int onTop, int left, int top);
// The preview window's left, top, width, height and maximised flag, kept in
// "General" while SavePos is on; false when there is none to use.
bool ReadPreviewPlacement(int numbers[5]);
void SavePreviewPlacement(const int numbers[5]);
void SelectSettingsPrinter();
// The set bound to the extension of `path`, written to `setName`; false when none.
bool FindSettingsSetForFile(const char* path, char* setName, int size);
// Reads the set `name` into `record` as loading it would, every field not in
// the file at its default; nothing becomes current.
void ReadSettingsSet(const char* name, Settings* record);
// The settings a file prints with outside a batch: those of the set bound
// to its extension, else the set in force (CurrentSettings, Apply's values
// included). Nothing becomes current.
Settings SettingsForFile(const char* path);
