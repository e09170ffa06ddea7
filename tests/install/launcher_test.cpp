// The launcher's command: what the program stores in it, where it is stored,
// and how the launcher adds the files it is given.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "jobs/arguments.h"
#include "install/launcher_image.h"
#include "launcher/launch_command.h"
#include "tests/common/test_files.h"

namespace {

const char kMarker[] = "Static data begins here:";

// An image like the built launcher's: code bytes, the area, more bytes.
std::vector<unsigned char> ImageWithArea(size_t before, size_t after) {
    std::vector<unsigned char> image(before, 0x90);
    std::string area = std::string(kMarker) + std::string(26, ' ') + std::string(1000, '#');
    image.insert(image.end(), area.begin(), area.end());
    image.push_back(0);
    image.insert(image.end(), after, 0xCC);
    return image;
}

typedef std::basic_string<LaunchUnit> Units;

Units UnitsOf(const std::u16string& text) {
    return Units(text.begin(), text.end());
}

// The launcher's command for its stored command (as the program writes it,
// UTF-8) and its own command line (as the system gives it, UTF-16).
std::u16string Joined(const char* stored, const std::u16string& commandLine) {
    std::vector<LaunchUnit> units(std::strlen(stored) + 1);
    size_t storedUnits = 0;
    EXPECT_TRUE(
        DecodeStoredCommand(stored, std::strlen(stored), units.data(), units.size(), &storedUnits))
        << stored;
    Units line = UnitsOf(commandLine);
    const LaunchUnit* arguments = LauncherArguments(line.c_str());
    std::vector<LaunchUnit> out(JoinedCommandSize(storedUnits, arguments));
    EXPECT_TRUE(JoinCommand(units.data(), storedUnits, arguments, out.data(), out.size()));
    return std::u16string(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(out.size() - 1));
}

} // namespace

TEST(CommandArea, IsFoundByItsMarkerWhereverTheLinkerPutsIt) {
    size_t offset = 0;
    std::vector<unsigned char> image = ImageWithArea(9760, 100);
    ASSERT_TRUE(FindCommandArea(image.data(), image.size(), &offset));
    EXPECT_EQ(9760u, offset);
    image = ImageWithArea(3, 0);
    ASSERT_TRUE(FindCommandArea(image.data(), image.size(), &offset));
    EXPECT_EQ(3u, offset);
}

TEST(CommandArea, AnImageWithoutOneWholeUniqueAreaIsRefused) {
    size_t offset = 0;
    std::vector<unsigned char> none(5000, 'x');
    EXPECT_FALSE(FindCommandArea(none.data(), none.size(), &offset));
    EXPECT_FALSE(FindCommandArea(nullptr, 0, &offset));
    // Cut short: writing a long command there would run past the image.
    std::vector<unsigned char> cut = ImageWithArea(100, 0);
    cut.resize(100 + 1000);
    EXPECT_FALSE(FindCommandArea(cut.data(), cut.size(), &offset));
    // Twice: which one the launcher reads cannot be told.
    std::vector<unsigned char> twice = ImageWithArea(10, 10);
    std::vector<unsigned char> second = ImageWithArea(0, 0);
    twice.insert(twice.end(), second.begin(), second.end());
    EXPECT_FALSE(FindCommandArea(twice.data(), twice.size(), &offset));
}

TEST(LauncherCommand, NamesTheSettingsFileOnlyWhenItIsNotTheDefault) {
    char out[kCommandAreaChars + 1];
    ASSERT_TRUE(
        BuildLauncherCommand("C:\\RAVLEN\\ravlen.exe", "ravlen.ini", "Letters", out, sizeof out));
    EXPECT_STREQ("C:\\RAVLEN\\ravlen.exe /n:\"Letters\"", out);
    ASSERT_TRUE(BuildLauncherCommand("C:\\RAVLEN\\ravlen.exe", "C:\\cfg\\my.ini",
                                     "Default settings", out, sizeof out));
    EXPECT_STREQ("C:\\RAVLEN\\ravlen.exe /i:\"C:\\cfg\\my.ini\" /n:\"Default settings\"", out);
}

TEST(LauncherCommand, QuotesAProgramPathWithBlanksAndRefusesWhatDoesNotFit) {
    char out[kCommandAreaChars + 1];
    ASSERT_TRUE(BuildLauncherCommand("C:\\Program Files\\Ravlen\\ravlen.exe", "ravlen.ini", "A",
                                     out, sizeof out));
    EXPECT_STREQ("\"C:\\Program Files\\Ravlen\\ravlen.exe\" /n:\"A\"", out);
    std::string longSet(kCommandAreaChars, 's');
    EXPECT_FALSE(BuildLauncherCommand("C:\\r.exe", "ravlen.ini", longSet.c_str(), out, sizeof out));
    EXPECT_STREQ("", out);
}

TEST(LauncherCommand, EachValueComesBackWholeBeforeTheDroppedFiles) {
    // Read back by the program's own command-line rules, with two files
    // appended as the launcher appends them.
    struct Case {
        const char* settingsFile;
        const char* setName;
    } cases[] = {
        {"ravlen.ini", "Letters"},       {"ravlen.ini", "Draft\\"}, {"ravlen.ini", "a\\\\b\\\\"},
        {"ravlen.ini", "Say \"hi\""},    {"ravlen.ini", "x\\\"y"},  {"ravlen.ini", "\""},
        {"C:\\cfg\\", "C:\\set\\ name"},
    };
    for (const Case& c : cases) {
        char out[kCommandAreaChars + 1];
        ASSERT_TRUE(BuildLauncherCommand("C:\\Program Files\\Ravlen\\ravlen.exe", c.settingsFile,
                                         c.setName, out, sizeof out));
        std::string line = std::string(out) + " C:\\a.txt \"C:\\b c.txt\"";
        std::vector<std::string> expected = {"C:\\Program Files\\Ravlen\\ravlen.exe"};
        if (std::strcmp(c.settingsFile, "ravlen.ini") != 0)
            expected.push_back(std::string("/i:") + c.settingsFile);
        expected.push_back(std::string("/n:") + c.setName);
        expected.push_back("C:\\a.txt");
        expected.push_back("C:\\b c.txt");
        std::vector<std::string> got;
        for (const Argument& argument : SplitCommandLine(line.c_str()))
            got.push_back(argument.text);
        EXPECT_EQ(expected, got) << line;
    }
}

TEST(ShortcutName, DeviceNamesAreRefusedWithOrWithoutAnExtension) {
    for (const char* device : {"CON", "con", "Nul", "PRN", "AUX", "COM1", "com9", "LPT1", "lpt9",
                               "nul.txt", "CON.exe", "CON .txt", "aux.tar.gz", "PRN "})
        EXPECT_TRUE(IsDeviceName(device)) << device;
    for (const char* name : {"CONSOLE", "Ravlen - CON", "COM0", "COM10", "LPT", "xcon", "NUL_",
                             "con-x.txt", ".con", " CON", "Ravlen"})
        EXPECT_FALSE(IsDeviceName(name)) << name;
}

TEST(ShortcutName, RefusesEmptyNamesAndCharactersTheShellRefuses) {
    EXPECT_TRUE(HasShortcutNameCharsOnly("Ravlen - Letters"));
    EXPECT_FALSE(HasShortcutNameCharsOnly(""));
    for (const char* bad : {"a\\b", "a/b", "a:b", "a?", "a*", "\"a\"", "a<b", "a>b", "a|b"})
        EXPECT_FALSE(HasShortcutNameCharsOnly(bad)) << bad;
}

// The stored command is UTF-8, as the program writes it: the settings file's
// path and the set's name keep their letters. The launcher's arguments pass
// unit for unit, an unpaired surrogate in a dropped name included, after one
// blank.
TEST(Launcher, AppendsItsArgumentsUnchangedAfterOneBlank) {
    struct Case {
        const char* stored;
        std::u16string commandLine;
        std::u16string expected;
    } cases[] = {
        {"run /n:\"L\"", u"launch.exe C:\\a.txt", u"run /n:\"L\" C:\\a.txt"},
        {"run", u"\"C:\\Launchers\\Ravlen - L.exe\"   \"C:\\my docs\\a b.txt\" \"x\"\"y\"",
         u"run \"C:\\my docs\\a b.txt\" \"x\"\"y\""},
        {"run", u"launch.exe", u"run "},
        {"run", u"\"launch.exe\"", u"run "},
        {"r.exe /i:\"C:\\Users\\J\xc3\xbcrgen\\r.ini\" /n:\"B\xc3\xbcro\"", u"l.exe",
         u"r.exe /i:\"C:\\Users\\J\u00fcrgen\\r.ini\" /n:\"B\u00fcro\" "},
        {"C:\\\xe6\x96\x87\\r.exe", u"l.exe \u03a9.txt \U0001F600.txt",
         u"C:\\\u6587\\r.exe \u03a9.txt \U0001F600.txt"},
        {"C:\\cut\xed\xa0\xbd\\r.exe",
         u"l.exe a\xD83D.txt \xDE00"
         u"b.txt",
         u"C:\\cut\xD83D\\r.exe a\xD83D.txt \xDE00"
         u"b.txt"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, Joined(c.stored, c.commandLine)) << c.stored;
}

TEST(Launcher, ALongFileListIsNeverWrittenPastItsBuffer) {
    std::u16string files = u"l.exe";
    for (int i = 0; i < 400; ++i) {
        std::string number = std::to_string(i);
        files += u" \"C:\\some directory\\file number " +
                 std::u16string(number.begin(), number.end()) + u".txt\"";
    }
    Units line = UnitsOf(files);
    const LaunchUnit* arguments = LauncherArguments(line.c_str());
    const LaunchUnit run[] = {'r', 'u', 'n', 0};
    size_t needed = JoinedCommandSize(3, arguments);
    EXPECT_EQ(3 + 1 + Units(arguments).size() + 1, needed);
    // One unit short: refused whole, with an empty text, not cut.
    std::vector<LaunchUnit> small(needed - 1, 'z');
    EXPECT_FALSE(JoinCommand(run, 3, arguments, small.data(), small.size()));
    EXPECT_EQ(0, small[0]);
    std::vector<LaunchUnit> exact(needed);
    EXPECT_TRUE(JoinCommand(run, 3, arguments, exact.data(), exact.size()));
    EXPECT_EQ(needed - 1, Units(exact.data()).size());
}

TEST(Launcher, ReadsItsStoredCommandOnlyWithinTheAreaAndOnlyAsUtf8) {
    char area[8] = {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'}; // no NUL at all
    EXPECT_EQ(8u, StoredCommandLength(area, sizeof area));
    EXPECT_EQ(3u, StoredCommandLength("abc", 50));
    // Bytes that are not UTF-8 (an area written in the ANSI code page, or
    // damaged) are refused rather than read as some other command.
    for (const char* bad : {"J\xfcrgen", "a\xc3", "\xc0\xaf", "\xf4\x90\x80\x80"}) {
        LaunchUnit out[16] = {'x'};
        size_t units = 99;
        EXPECT_FALSE(DecodeStoredCommand(bad, std::strlen(bad), out, 16, &units)) << bad;
        EXPECT_EQ(0, out[0]) << bad;
    }
    // A text that does not fit is refused, not cut.
    LaunchUnit out[4];
    size_t units = 0;
    EXPECT_FALSE(DecodeStoredCommand("abc", 3, out, 3, &units));
    EXPECT_TRUE(DecodeStoredCommand("abc", 3, out, 4, &units));
    EXPECT_EQ(3u, units);
}

TEST(LauncherFile, IsTheImageWithTheCommandInItsArea) {
    std::string dir = MakeScratchDirectory();
    ASSERT_FALSE(dir.empty());
    std::string path = dir + "\\Ravlen - L.exe";
    std::vector<unsigned char> image = ImageWithArea(500, 40);
    ASSERT_TRUE(WriteLauncherImage(path.c_str(), image.data(), image.size(), "cmd /n:\"L\""));
    std::string written = ReadTestFile(path);
    ASSERT_EQ(image.size(), written.size());
    EXPECT_EQ(std::string(500, '\x90'), written.substr(0, 500));
    EXPECT_EQ(std::string("cmd /n:\"L\"") + '\0', written.substr(500, 11));
    EXPECT_EQ(std::string(40, '\xCC'), written.substr(written.size() - 40));

    // Too long for the area, or no area: nothing is written.
    std::string other = dir + "\\other.exe";
    std::string tooLong(kCommandAreaChars + 1, 'c');
    EXPECT_FALSE(WriteLauncherImage(other.c_str(), image.data(), image.size(), tooLong.c_str()));
    std::vector<unsigned char> plain(600, 1);
    EXPECT_FALSE(WriteLauncherImage(other.c_str(), plain.data(), plain.size(), "cmd"));
    EXPECT_FALSE(FileExists(other.c_str()));
    EXPECT_FALSE(
        WriteLauncherImage((dir + "\\missing\\x.exe").c_str(), image.data(), image.size(), "cmd"));
    RemoveDirectoryTree(dir.c_str());
}
