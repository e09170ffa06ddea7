// Runs one fixed sequence against the settings file in a given directory and
// prints every answer: first the raw profile functions on a hand-written file
// full of oddities, then the settings store (loads, saves, deletions,
// hand-edited values). The native build and the Windows build under Wine must
// print the same and leave the same files (tests/settings/parity.sh).
// Usage: profile_parity <directory>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "common/file_system.h"
#include "common/message_box.h"
#include "output/printer_selection.h"
#include "settings/profile.h"
#include "settings/settings.h"

// The printer is not this program's business; every name is accepted.
bool SelectPrinterByName(const char*) {
    return true;
}

// Boxes are printed, not shown: the run must not wait for a click.
int PlatformMessageBox(const char*, const char*, int kind) {
    printf("message box, kind %d\n", kind);
    return 1;
}
void PlatformBeep(int) {}

static std::string directory;

static std::string PathOf(const char* name) {
    char separator = directory.find('\\') != std::string::npos ? '\\' : '/';
    return directory + separator + name;
}

static std::string Escaped(const char* data, size_t length) {
    std::string text;
    for (size_t i = 0; i < length; i++) {
        unsigned char c = (unsigned char)data[i];
        if (c == '\\') {
            text += "\\\\";
        } else if (c >= 0x20 && c < 0x7f) {
            text += (char)c;
        } else {
            char code[8];
            snprintf(code, sizeof code, "\\x%02x", c);
            text += code;
        }
    }
    return text;
}

static void WriteFile(const std::string& path, const std::string& contents) {
    FILE* stream = OpenStream(path.c_str(), "wb");
    if (!stream) {
        printf("cannot write %s\n", path.c_str());
        return;
    }
    fwrite(contents.data(), 1, contents.size(), stream);
    fclose(stream);
    WriteProfileValue(nullptr, nullptr, nullptr, path.c_str());
}

static void PrintFile(const char* label, const std::string& path) {
    printf("--- file %s\n", label);
    FILE* stream = OpenStream(path.c_str(), "rb");
    if (!stream) {
        printf("(none)\n");
        return;
    }
    std::string line;
    int c;
    while ((c = fgetc(stream)) != EOF) {
        char byte = (char)c;
        if (byte == '\n') {
            printf("%s\n", Escaped(line.data(), line.size()).c_str());
            line.clear();
        } else {
            line += byte;
        }
    }
    if (!line.empty())
        printf("%s(no end)\n", Escaped(line.data(), line.size()).c_str());
    fclose(stream);
}

static void Read(const std::string& path, const char* section, const char* key,
                 const char* fallback, int size) {
    char buf[1024];
    memset(buf, '#', sizeof buf);
    int length = ReadProfileValue(section, key, fallback, buf, size, path.c_str());
    // Only the bytes up to and including the terminating NUL are promised.
    int shown = length >= 0 && length < size ? length + 1 : size;
    printf("read [%s] %s def=\"%s\" size=%d -> %d \"%s\"\n", section ? section : "(null)",
           key ? key : "(list)", fallback ? fallback : "(null)", size, length,
           Escaped(buf, shown).c_str());
}

static void Write(const std::string& path, const char* section, const char* key,
                  const char* value) {
    bool done = WriteProfileValue(section, key, value, path.c_str());
    printf("write [%s] %s = %s -> %d\n", section, key ? key : "(section)",
           value ? Escaped(value, strlen(value)).c_str() : "(delete)", done);
}

static void RawProfile() {
    std::string path = PathOf("raw.ini");
    std::string longValue(300, 'v');
    WriteFile(path, "; leading comment\r\n"
                    "top=1\r\n"
                    "\r\n"
                    "[General]\r\n"
                    "  Version = 2.1.5  \r\n"
                    "[ Spaced ]\r\n"
                    "a=1\r\n"
                    "[settings list]\r\n"
                    "Default settings=1\r\n"
                    "Work=1\r\n"
                    "NoValueLine\r\n"
                    ";comment=1\r\n"
                    "=empty name\r\n"
                    "=second empty\r\n"
                    "Empty=\r\n"
                    "\r\n"
                    "\r\n"
                    "[Quotes]\r\n"
                    "dq=\"quoted\"\r\n"
                    "sq='single'\r\n"
                    "mixed=\"abc'\r\n"
                    "one=\"\r\n"
                    "two=\"\"\r\n"
                    "inner=a \"b\" c\r\n"
                    "lead=\"  padded  \"\r\n"
                    "[Dup]\r\n"
                    "k=first\r\n"
                    "K=second\r\n"
                    "[dup]\r\n"
                    "k=third\r\n"
                    "other=x\r\n"
                    "[a]b]\r\n"
                    "x=1\r\n"
                    "[broken\r\n"
                    "y=2\r\n"
                    "[Tabs]\r\n"
                    "\tt1\t=\tv1\t\r\n"
                    "high\xe9=\xc9t\xe9\x81\x90\r\n"
                    "ctrlz=\x1av\x1a\r\n"
                    "nbsp=\xa0v\xa0\r\n"
                    "vt=\x0bv\x0c\r\n"
                    "[]\r\n"
                    "emptysection=1\r\n"
                    "[ ]\r\n"
                    "blanksection=1\r\n"
                    "[Long]\r\n"
                    "text=" +
                        longValue +
                        "\r\n"
                        "q254=\"" +
                        std::string(254, 'a') + "\"\r\n" + "q255=\"" + std::string(255, 'b') +
                        "\"\r\n" + "q256='" + std::string(256, 'c') + "'\r\n" +
                        "u255=" + std::string(255, 'd') + "\r\n" +
                        "mac=line\rnext=line2\rlast=3\n"
                        "  [Indented]  \r\n"
                        "i = 1\n");
    PrintFile("raw as written", path);

    Read(path, "General", "Version", "", 255);
    Read(path, "general", "VERSION", "", 255);
    Read(path, " General ", " Version ", "", 255);
    Read(path, "", "top", "none", 255);
    Read(path, "Spaced", "a", "none", 255);
    Read(path, " Spaced ", "a", "none", 255);
    Read(path, "Settings List", "Work", "", 10);
    Read(path, "Settings List", "NoValueLine", "def", 10);
    Read(path, "Settings List", "Empty", "def", 10);
    Read(path, "Settings List", "", "def", 20);
    Read(path, "Settings List", "Missing", "def   ", 20);
    Read(path, "Settings List", "Missing", "  def", 20);
    Read(path, "Settings List", "Missing", "   ", 20);
    Read(path, "Settings List", "Missing", "\"qd\"", 20);
    Read(path, "Settings List", "Missing", nullptr, 20);
    const char* quoteKeys[] = {"dq", "sq", "mixed", "one", "two", "inner", "lead"};
    for (const char* key : quoteKeys)
        for (int size : {255, 8, 7, 6, 5, 3, 2, 1})
            Read(path, "Quotes", key, "", size);
    Read(path, "Dup", "k", "", 255);
    Read(path, "DUP", "other", "none", 255);
    Read(path, "a]b", "x", "none", 255);
    Read(path, "a", "x", "none", 255);
    Read(path, "broken", "y", "none", 255);
    Read(path, "Tabs", "y", "none", 255);
    Read(path, "Tabs", "t1", "none", 255);
    Read(path, "Tabs", "HIGH\xc9", "none", 255);
    Read(path, "Tabs", "ctrlz", "none", 255);
    Read(path, "Tabs", "nbsp", "none", 255);
    Read(path, "Tabs", "vt", "none", 255);
    Read(path, "", "emptysection", "none", 255);
    Read(path, " ", "blanksection", "none", 255);
    Read(path, "", nullptr, "", 255);
    Read(path, "Long", "text", "", 255);
    Read(path, "Long", "text", "", 1000);
    Read(path, "Long", "mac", "", 255);
    Read(path, "Long", "next", "", 255);
    Read(path, "Long", "last", "", 255);
    Read(path, "Indented", "i", "", 255);
    Read(path, "Long", "text", "", 9);
    // Quoted values round the sizes where the reading drops one character
    // more: a too-long text must not come back looking whole.
    for (int size : {255, 256, 257, 258})
        for (const char* key : {"q254", "q255", "q256", "u255"})
            Read(path, "Long", key, "", size);
    Read(path, "Missing", "key", "fallback", 5);

    for (int size : {255, 40, 30, 29, 28, 27, 20, 19, 18, 17, 5, 4, 3, 2, 1})
        Read(path, "Settings List", nullptr, "", size);
    Read(path, "Dup", nullptr, "", 255);
    Read(path, "Missing", nullptr, "", 255);
    Read(path, "Missing", nullptr, "def", 255);
    Read(path, "Quotes", nullptr, "", 255);
    Read(path, "", nullptr, "", 255);

    Write(path, "General", "Version", "2.1.5");
    Write(path, "General", "Version", "  2.2  ");
    Read(path, "General", "Version", "", 255);
    Write(path, "General", "Multi", "one\r\nInjected=two");
    Read(path, "General", "Multi", "", 255);
    Read(path, "General", "Injected", "", 255);
    Write(path, "Dup", "k", "changed");
    Write(path, "Dup", "new", "appended");
    Write(path, "dup", "other", nullptr);
    Write(path, "Settings List", "NoValueLine", "1");
    Write(path, "Settings List", "Missing", nullptr);
    Write(path, "New Section", "  spaced key  ", "v");
    Write(path, "  Lead Section", "k", "v");
    Write(path, "Quotes", nullptr, nullptr);
    Write(path, "Nowhere", nullptr, nullptr);
    Write(path, "Tabs", "high\xc9", nullptr);
    PrintFile("raw after writes", path);

    std::string fresh = PathOf("fresh.ini");
    Write(fresh, "Nothing", "k", nullptr);
    Write(fresh, "Nothing", nullptr, nullptr);
    PrintFile("fresh after deletions", fresh);
    Write(fresh, "First", "a", "1");
    Write(fresh, "Second", "b", "2");
    Write(fresh, "First", "c", "3");
    Write(fresh, "First", "a", nullptr);
    Write(fresh, "First", "c", nullptr);
    Write(fresh, "Third", "d", "4");
    PrintFile("fresh", fresh);
    std::string marked = PathOf("marked.ini");
    WriteFile(marked, "\xef\xbb\xbf[S]\r\nk=v\r\n");
    Read(marked, "S", "k", "", 255);
    Read(marked, "S", nullptr, "", 255);
    Write(marked, "S", "k", "w");
    PrintFile("marked", marked);
    std::string nowhere = PathOf("no-such-directory") + "/x.ini";
    Write(nowhere, "S", "k", "v");
}

static uint32_t BitsOf(float value) {
    uint32_t bits;
    memcpy(&bits, &value, sizeof bits);
    return bits;
}

static void PrintRecord(const char* label, const Settings& s) {
    printf("--- record %s (set \"%s\")\n", label, CurrentSetName);
    printf("ints %d %d %d %d %d %d %d %d | %d %d %d %d %d | %d %d %d %d %d %d %d %d\n",
           s.ShowPrintDlg, s.QuitFromComLine, s.EnablePrefsDD, s.EnableSpooler, s.NameInHeader,
           s.ProgrBar, s.SavePos, s.SysTray, s.PSEOFChar, s.UseRange, s.DrvHead, s.NUpPs,
           s.WarnNonPS, s.PlaceEPS, s.FrameEPS, s.NameEPS, s.Width, s.Height, s.Landscape,
           s.AdvHoriz, s.Frame);
    printf("text %d %d %d %d %d %d %d %d %d\n", s.EnableTextPrint, s.SizeOp, s.Lines, s.Chars,
           s.TabCount, s.LineNo, s.WrapLines, s.PrettyPrint, s.OEMTrans);
    const float lengths[] = {s.LeftMarg, s.TopMarg, s.RightMarg, s.BottomMarg,
                             s.xGutter,  s.yGutter, s.FrameWidth};
    printf("lengths");
    for (float length : lengths)
        printf(" %08x", (unsigned)BitsOf(length));
    printf("\n");
    const char* texts[] = {s.PrinterName, s.FileTypes, s.PrologName,
                           s.FontName,    s.HeaderStr, s.FooterStr};
    for (const char* text : texts)
        printf("text(%u) \"%s\"\n", (unsigned)strlen(text), Escaped(text, strlen(text)).c_str());
    printf("pprbndhd %d\n", s.PprBndHd);
    for (const ConversionSettings& c : s.conversion)
        printf("conversion %d %d %d \"%s\"\n", c.DoConv, c.ShowConvWind, c.ConvPrint,
               Escaped(c.ConvCom, strlen(c.ConvCom)).c_str());
}

static void PrintSets() {
    char names[1024];
    ListSettingsSets(names, sizeof names);
    printf("sets:");
    for (const char* name = names; *name; name += strlen(name) + 1)
        printf(" \"%s\"", name);
    printf("\n");
}

static void Lookup(const char* file) {
    char name[256];
    bool found = FindSettingsSetForFile(file, name, sizeof name);
    printf("lookup %s -> %s (enabled %d)\n", file, found ? name : "(none)", FileTypeLookupEnabled);
}

static void Placement() {
    int type, onTop, left, top;
    if (ReadWindowPlacement(&type, &onTop, &left, &top))
        printf("placement %d %d %d %d\n", type, onTop, left, top);
    else
        printf("placement none\n");
}

static void Load(const char* name) {
    bool loaded = LoadSettingsSet(name);
    printf("load \"%s\" -> %d\n", name, loaded);
}

static void Store() {
    std::string path = PathOf("store.ini");
    SelectSettingsFile(path.c_str());
    PrintRecord("fresh", CurrentSettings);
    PrintSets();
    Placement();
    PrintFile("after a fresh start", path);

    TransferSettings(&CurrentSettings, kWriteSettings);
    PrintFile("default set saved with defaults", path);

    CurrentSettings.LeftMarg = 1.5f;
    CurrentSettings.Lines = 60;
    CurrentSettings.SavePos = 1;
    CopyText(CurrentSettings.HeaderStr, sizeof CurrentSettings.HeaderStr, "&f  ");
    CopyText(CurrentSettings.FileTypes, sizeof CurrentSettings.FileTypes, ".TXT;.log");
    CopyText(CurrentSettings.conversion[kConvPS].ConvCom, sizeof(ConversionSettings::ConvCom),
             "gs.exe ? -q &i");
    CurrentSettings.conversion[kConvBin].DoConv = 1;
    TransferSettings(&CurrentSettings, kWriteSettings);
    SaveWindowPlacement(128, 5, -10, 20);
    PrintFile("default set changed", path);

    Settings work = CurrentSettings;
    CopyText(CurrentSetName, sizeof CurrentSetName, "Work");
    work.SavePos = 0;
    work.TopMarg = 0.25f;
    CopyText(work.FileTypes, sizeof work.FileTypes, "*.ps; *.EPS;");
    CopyText(work.FooterStr, sizeof work.FooterStr, "\"quoted\"");
    TransferSettings(&work, kWriteSettings);
    CopyText(CurrentSetName, sizeof CurrentSetName, "Spare");
    TransferSettings(&work, kWriteSettings);
    PrintFile("two more sets", path);
    PrintSets();

    Load("work");
    PrintRecord("work", CurrentSettings);
    Load("Missing");
    Load("My Default settings copy");
    PrintRecord("unlisted default", CurrentSettings);

    // Hand edits: numbers that do not scan keep the values the previous set left.
    std::string longText(300, 'h');
    WriteFile(path, "[General]\r\nVersion=2.1.5\r\n"
                    "[Settings List]\r\nDefault settings=1\r\nWork=1\r\nSpare=\r\nGone=1\r\n"
                    "[Default settings]\r\nLines=50\r\nLeftMarg=2.25\r\nSavePos=1\r\n"
                    "DlgPos=129 7 -3 400\r\nFileTypes=.c;.h\r\n"
                    "[Work]\r\nLines=abc\r\nChars= 120 \r\nTopMarg=  2.5  \r\nLeftMarg=nan\r\n"
                    "RightMarg=1e3\r\nBottomMarg=0x10\r\nxGutter=.5e-1x\r\nyGutter=-\r\n"
                    "FrameWidth=12345678901\r\nTabCount=123456789012\r\n"
                    "PrinterName=\"My printer\"\r\nHeaderStr=" +
                        longText +
                        "\r\n"
                        "FontName=\r\nDlgPos=1 2 3\r\nFileTypes=.ps;.eps\r\nPrologName='p.ps'\r\n"
                        "Width=715827883\r\nHeight=-4\r\nFrame=2\r\nFooterStr=\"" +
                        std::string(254, 'f') + "\"\r\nConvComTxt=\"" + std::string(255, 't') +
                        "\"\r\nConvComPS=" + std::string(255, 'p') + "\r\nConvComBin='" +
                        std::string(256, 'b') +
                        "'\r\n"
                        "[Gone]\r\nFileTypes=.ps;.txt\r\n");
    Load("Default settings");
    PrintRecord("hand-edited default", CurrentSettings);
    Placement();
    Load("Spare");
    Load("Work");
    PrintRecord("hand-edited work", CurrentSettings);
    Placement();
    Load("Work"); // warned about once only

    Lookup("C:\\docs\\a.PS");
    Lookup("b.txt");
    Lookup("readme");
    Lookup("c.sps");
    Lookup("dir.c\\file");
    Load("Default settings");
    Lookup("x.EPS");
    Lookup("x.h");

    Load("Default settings");
    CurrentSettings.LeftMarg = 0.7f;
    CurrentSettings.SavePos = 0;
    TransferSettings(&CurrentSettings, kWriteSettings);
    DeleteSettingsSet("Gone");
    DeleteSettingsSet("Nothing");
    PrintFile("after saving defaults back and deleting", path);
    PrintSets();

    std::string longName(300, 'n');
    Load(longName.c_str());
    printf("file %s\n",
           SelectSettingsFile((PathOf("") + std::string(300, 'f')).c_str()) ? "taken" : "refused");
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: profile_parity <directory>\n");
        return 2;
    }
    directory = argv[1];
    setvbuf(stdout, nullptr, _IONBF, 0);
    RawProfile();
    Store();
    return 0;
}
