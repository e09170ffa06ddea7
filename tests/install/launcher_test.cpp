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

std::string Joined(const char* stored, const char* commandLine) {
    const char* arguments = LauncherArguments(commandLine);
    std::vector<char> out(JoinedCommandSize(std::strlen(stored), arguments));
    EXPECT_TRUE(JoinCommand(stored, std::strlen(stored), arguments, out.data(), out.size()));
    return out.data();
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

TEST(Launcher, AppendsItsArgumentsUnchangedAfterOneBlank) {
    EXPECT_EQ("run /n:\"L\" C:\\a.txt", Joined("run /n:\"L\"", "launch.exe C:\\a.txt"));
    EXPECT_EQ("run \"C:\\my docs\\a b.txt\" \"x\"\"y\"",
              Joined("run", "\"C:\\Launchers\\Ravlen - L.exe\"   \"C:\\my docs\\a b.txt\" "
                            "\"x\"\"y\""));
    EXPECT_EQ("run ", Joined("run", "launch.exe"));
    EXPECT_EQ("run ", Joined("run", "\"launch.exe\""));
}

TEST(Launcher, ALongFileListIsNeverWrittenPastItsBuffer) {
    std::string files = "l.exe";
    for (int i = 0; i < 400; ++i)
        files += " \"C:\\some directory\\file number " + std::to_string(i) + ".txt\"";
    const char* arguments = LauncherArguments(files.c_str());
    size_t needed = JoinedCommandSize(3, arguments);
    EXPECT_EQ(3 + 1 + std::strlen(arguments) + 1, needed);
    // One byte short: refused whole, with an empty text, not cut.
    std::vector<char> small(needed - 1, 'z');
    EXPECT_FALSE(JoinCommand("run", 3, arguments, small.data(), small.size()));
    EXPECT_EQ('\0', small[0]);
    std::vector<char> exact(needed);
    EXPECT_TRUE(JoinCommand("run", 3, arguments, exact.data(), exact.size()));
    EXPECT_EQ(needed - 1, std::strlen(exact.data()));
}

TEST(Launcher, ReadsItsStoredCommandOnlyWithinTheArea) {
    char area[8] = {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'}; // no NUL at all
    EXPECT_EQ(8u, StoredCommandLength(area, sizeof area));
    EXPECT_EQ(3u, StoredCommandLength("abc", 50));
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
