// Conversion programs: the command line made from the template, the files
// around the program, and the conversion inside the dispatcher.
#include "output_test_support.h"

#include "command_readers.h"
#include "common/messages.h"
#include "output/conversion.h"
#include "output/dispatch.h"
#include "output/process.h"

#include <cstdlib>
#include <cstring>

namespace {

std::vector<std::string> Words(const std::string& command) {
    std::vector<std::string> words;
    size_t start = 0;
    while (start < command.size()) {
        size_t blank = command.find(' ', start);
        if (blank == std::string::npos)
            blank = command.size();
        words.push_back(command.substr(start, blank - start));
        start = blank + 1;
    }
    return words;
}

class Conversion : public OutputTest {
  protected:
    FileAnalysis* TextFile(const char* commandTemplate) {
        ConversionSettings& conversion = CurrentSettings.conversion[kConvTxt];
        conversion.DoConv = 1;
        CopyText(conversion.ConvCom, sizeof conversion.ConvCom, commandTemplate);
        return Analyze("some text\r\n", "C:\\docs\\a.txt");
    }

    // A one-page structured document whose n-up job goes to a conversion program.
    FileAnalysis* StructuredForConversion() {
        ConversionSettings& ps = CurrentSettings.conversion[kConvPS];
        ps.DoConv = 1;
        CopyText(ps.ConvCom, sizeof ps.ConvCom, "conv?&i &o");
        CurrentSettings.NUpPs = 1;
        return Analyze("%!PS-Adobe-3.0\n%%Pages: 1\n%%EndComments\n%%Page: 1 1\nshowpage\n%%EOF\n",
                       "C:\\docs\\s.ps");
    }

    // A program that writes `output` to the word `outputWord` of its command.
    void ProgramWrites(const std::string& output, size_t outputWord) {
        Printer.program = [this, output, outputWord](const std::string& command) {
            std::vector<std::string> words = Words(command);
            if (outputWord < words.size()) {
                outputFiles.push_back(words[outputWord]);
                WriteTestFile(words[outputWord], output);
            }
            return 0;
        };
    }

    // The conversion's output; none when it failed (succeeded false) or the
    // program printed by itself.
    FileAnalysis* Convert(FileAnalysis* file) {
        FileAnalysis* output = nullptr;
        succeeded = RunConversion(file, &output);
        return output;
    }

    FileAnalysis* Keep(FileAnalysis* analysis) {
        if (analysis)
            converted.push_back(analysis);
        return analysis;
    }

    void TearDown() override {
        for (FileAnalysis* analysis : converted)
            ReleaseFile(analysis, true);
        OutputTest::TearDown();
    }

    std::vector<std::string> outputFiles;
    std::vector<FileAnalysis*> converted;
    bool succeeded = false;
};

TEST_F(Conversion, TemplateBecomesTheCommandLine) {
    FileAnalysis* file = TextFile("C:\\tools\\txt2ps.exe?-o &o &i");
    ProgramWrites("%!\nshowpage\n", 2);
    FileAnalysis* result = Keep(Convert(file));
    ASSERT_NE(nullptr, result);
    ASSERT_EQ(1u, Printer.commands.size());
    std::vector<std::string> words = Words(Printer.commands[0]);
    ASSERT_EQ(4u, words.size());
    EXPECT_EQ("C:\\tools\\txt2ps.exe", words[0]);
    EXPECT_EQ("-o", words[1]);
    EXPECT_EQ(std::string(file->path), words[3]);
    // The output is a new temporary file, analysed afresh under the source's name.
    EXPECT_EQ(std::string(result->path), words[2]);
    EXPECT_NE(std::string::npos, std::string(FileNameOf(result->path)).find("rvl"));
    EXPECT_EQ(PlainPostScript, result->kind);
    EXPECT_STREQ("C:\\docs\\a.txt", result->displayName);
    EXPECT_EQ(std::vector<bool>{false}, Printer.commandWindows);
    EXPECT_TRUE(ShownBoxes.empty());
}

TEST_F(Conversion, TokensAreReplacedOnceEachWhereTheTemplatePutsThem) {
    struct Case {
        const char* commandTemplate;
        const char* expected; // I: input, O: output
    } cases[] = {
        {"conv.exe", "conv.exe"},
        {"conv.exe?", "conv.exe "},
        {"conv?&i &i", "conv I &i"},
        {"conv?&p: &o<&i", "conv Capture: O<I"},
        {"conv?-x", "conv -x"},
        {"C:\\Program Files\\Converter\\conv.exe?&i", "C:\\PROGRA~1\\CONVER~1\\CONV.EXE I"},
        {"C:\\Program Files\\Missing\\conv.exe?&i", "C:\\Program Files\\Missing\\conv.exe I"},
        {"two words?&i", "two words I"},
    };
    Printer.existingPrograms.push_back("C:\\Program Files\\Converter\\conv.exe");
    for (const Case& c : cases) {
        Printer.commands.clear();
        FileAnalysis* file = TextFile(c.commandTemplate);
        // A file name holding a token is never taken for one.
        CopyText(file->path, sizeof file->path, "C:\\R&o\\&p.txt");
        Convert(file);
        ASSERT_EQ(1u, Printer.commands.size());
        std::string expected = c.expected;
        size_t at = expected.find('I');
        if (at != std::string::npos && std::strchr(c.commandTemplate, '&'))
            expected.replace(at, 1, "C:\\R&o\\&p.txt");
        std::string command = Printer.commands[0];
        size_t out = expected.find('O');
        if (out != std::string::npos) {
            // The output file's name is the program's choice; its place is not.
            size_t tail = expected.size() - out - 1;
            ASSERT_GT(command.size(), out + tail);
            command.replace(out, command.size() - out - tail, "O");
        }
        EXPECT_EQ(expected, command) << c.commandTemplate;
    }
}

TEST_F(Conversion, TextAfterBlankAtGoesToAResponseFile) {
    FileAnalysis* file = TextFile("conv?-q @-o &o &i");
    std::string response;
    std::string responsePath;
    Printer.program = [&](const std::string& command) {
        std::vector<std::string> words = Words(command);
        if (words.size() == 3 && words[2][0] == '@') {
            responsePath = words[2].substr(1);
            response = ReadTestFile(responsePath);
            std::vector<std::string> inner = Words(response);
            if (inner.size() == 3)
                WriteTestFile(inner[1], "converted");
        }
        return 0;
    };
    FileAnalysis* result = Keep(Convert(file));
    ASSERT_NE(nullptr, result);
    ASSERT_FALSE(responsePath.empty());
    EXPECT_EQ(std::string("-o ") + result->path + " " + file->path, response);
    EXPECT_FALSE(FileExists(responsePath.c_str()));
}

TEST_F(Conversion, CommandOfSevenHundredSeventyOneCharactersIsTooLong) {
    char probe[kPathSize];
    ASSERT_TRUE(MakeTempFileName(probe, sizeof probe));
    RemoveFile(probe);
    size_t outputLength = std::strlen(probe);
    const char* commandTemplate = "conv?&i &o"; // "conv &i &o": 10 characters
    for (size_t total : {770u, 771u}) {
        ResetDoubles();
        Printer.commands.clear();
        FileAnalysis* file = TextFile(commandTemplate);
        std::string path = "C:\\" + std::string(total - 10 - outputLength - 3, 'p');
        CopyText(file->path, sizeof file->path, path.c_str());
        EXPECT_EQ(nullptr, Keep(Convert(file)));
        if (total == 770) {
            EXPECT_EQ(1u, Printer.commands.size());
            EXPECT_EQ(1u, ShownBoxes.size()); // nothing written: message 64
        } else {
            EXPECT_TRUE(Printer.commands.empty());
            ASSERT_EQ(1u, ShownBoxes.size());
            EXPECT_EQ("Conversion command is too long", ShownBoxes[0].text);
        }
    }
}

TEST_F(Conversion, AnyTemplateAndPathStayWithinTheCommandLine) {
    // Templates of tokens, markers and blanks with input paths of every length:
    // the command either runs whole, below 771 characters, or is refused.
    const char* pieces[] = {"&i",
                            "&o",
                            "&p",
                            "?",
                            " @",
                            "&",
                            "@",
                            " ",
                            "conv",
                            "-x",
                            "C:\\Program Files\\Converter\\conv.exe"};
    Printer.existingPrograms.push_back("C:\\Program Files\\Converter\\conv.exe");
    unsigned seed = 12345;
    auto next = [&seed](unsigned n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    FileAnalysis* file = TextFile("conv");
    for (int round = 0; round < 300; ++round) {
        std::string commandTemplate;
        while (commandTemplate.size() < 200 && next(8) != 0)
            commandTemplate += pieces[next(sizeof pieces / sizeof pieces[0])];
        CopyText(CurrentSettings.conversion[kConvTxt].ConvCom,
                 sizeof CurrentSettings.conversion[kConvTxt].ConvCom, commandTemplate.c_str());
        std::string path = "C:\\" + std::string(next(760), 'q') + "&o.txt";
        CopyText(file->path, sizeof file->path, path.c_str());
        Printer.commands.clear();
        ResetDoubles();
        EXPECT_EQ(nullptr, Convert(file));
        if (Printer.commands.empty()) {
            // Too long, or a name where no form of it is safe (the program's
            // own place, a quote or backslash of the template beside it).
            ASSERT_EQ(1u, ShownBoxes.size()) << commandTemplate;
            if (ShownBoxes[0].text != "Conversion command is too long") {
                EXPECT_NE(std::string::npos, ShownBoxes[0].text.find("cannot be given"));
            }
            continue;
        }
        const std::string& command = Printer.commands[0];
        EXPECT_LT(command.size(), 771u);
        // The blank after the program may make a " @" of its own.
        bool responseFile = command.find(" @") != std::string::npos;
        if (commandTemplate.find("&i") != std::string::npos && !responseFile) {
            EXPECT_NE(std::string::npos, command.find(path)) << commandTemplate;
        }
    }
}

TEST_F(Conversion, EndsWithoutARecordWhenNothingIsLeftToPrint) {
    // The program cannot be started.
    FileAnalysis* file = TextFile("conv?&o");
    Printer.program = [&](const std::string& command) {
        outputFiles.push_back(Words(command)[1]);
        return 2;
    };
    EXPECT_EQ(nullptr, Convert(file));
    EXPECT_FALSE(succeeded);
    ASSERT_EQ(1u, ShownBoxes.size());
    EXPECT_EQ("Failed to start conversion program", ShownBoxes[0].text);

    // It wrote nothing.
    ResetDoubles();
    ProgramWrites("", 1);
    EXPECT_EQ(nullptr, Convert(file));
    EXPECT_FALSE(succeeded);
    ASSERT_EQ(1u, ShownBoxes.size());
    EXPECT_EQ("Conversion failed", ShownBoxes[0].text);

    // It prints by itself.
    ResetDoubles();
    CurrentSettings.conversion[kConvTxt].ConvPrint = 1;
    ProgramWrites("printed", 1);
    EXPECT_EQ(nullptr, Convert(file));
    EXPECT_TRUE(succeeded);
    EXPECT_TRUE(ShownBoxes.empty());

    // The user stopped it.
    ResetDoubles();
    CurrentSettings.conversion[kConvTxt].ConvPrint = 0;
    Printer.program = [&](const std::string& command) {
        outputFiles.push_back(Words(command)[1]);
        StopRequested = true;
        return 5;
    };
    EXPECT_EQ(nullptr, Convert(file));
    EXPECT_FALSE(succeeded);
    EXPECT_TRUE(ShownBoxes.empty());

    ASSERT_EQ(4u, outputFiles.size());
    for (const std::string& path : outputFiles)
        EXPECT_FALSE(FileExists(path.c_str())) << path;
}

TEST_F(Conversion, ShownWindowWhenAsked) {
    FileAnalysis* file = TextFile("conv?&o");
    CurrentSettings.conversion[kConvTxt].ShowConvWind = 1;
    ProgramWrites("x", 1);
    Keep(Convert(file));
    EXPECT_EQ(std::vector<bool>{true}, Printer.commandWindows);
}

TEST_F(Conversion, DispatcherPrintsTheConvertedOutputAndDeletesItsFiles) {
    const char structured[] =
        "%!PS-Adobe-3.0\n%%Pages: 1\n%%EndComments\n%%Page: 1 1\nshowpage\n%%EOF\n";
    ConversionSettings& conversion = CurrentSettings.conversion[kConvPS];
    conversion.DoConv = 1;
    CopyText(conversion.ConvCom, sizeof conversion.ConvCom, "conv?&i &o");
    CurrentSettings.NUpPs = 1;
    FileAnalysis* source = Analyze(structured, "C:\\docs\\s.ps");
    ASSERT_EQ(StructuredPostScript, source->kind);
    std::string pcl = "\x1b"
                      "E printer-ready output";
    std::string composed;
    std::vector<std::string> files;
    Printer.program = [&](const std::string& command) {
        files = Words(command);
        composed = ReadTestFile(files[1]);
        WriteTestFile(files[2], pcl);
        return 0;
    };
    EXPECT_TRUE(DispatchFile(source, false));
    ASSERT_EQ(3u, files.size());
    // The program read the n-up job, composed for a file: no end-of-job characters.
    EXPECT_NE(std::string::npos, composed.find("%%Page: 1 1\nshowpage\n"));
    EXPECT_NE(std::string::npos, composed.find("RavlenDict"));
    ASSERT_EQ(1u, Printer.jobs.size());
    EXPECT_EQ(pcl, Printer.jobs[0].bytes);
    EXPECT_EQ("Ravlen - s.ps", Printer.jobs[0].document);
    EXPECT_FALSE(FileExists(files[1].c_str()));
    EXPECT_FALSE(FileExists(files[2].c_str()));
    EXPECT_TRUE(FileExists(source->path));

    // A program that prints by itself leaves nothing to print.
    ResetPrinter();
    conversion.ConvPrint = 1;
    Printer.program = [&](const std::string& command) {
        files = Words(command);
        WriteTestFile(files[2], pcl);
        return 0;
    };
    EXPECT_TRUE(DispatchFile(source, false));
    EXPECT_TRUE(Printer.jobs.empty());
    EXPECT_TRUE(ShownBoxes.empty());
    EXPECT_FALSE(FileExists(files[1].c_str()));
    EXPECT_FALSE(FileExists(files[2].c_str()));
}

// The command line the program got, with the output file's name as "O".
std::string WithOutputAsO(std::string command, const std::string& output) {
    size_t at = output.empty() ? std::string::npos : command.find(output);
    if (at != std::string::npos)
        command.replace(at, output.size(), "O");
    return command;
}

TEST_F(Conversion, EveryNameIsOneArgument) {
    struct Case {
        const char* commandTemplate;
        const char* input;
        const char* printer;
        const char* expected; // O: the output file
    } cases[] = {
        // Blanks: the short form of an existing file, else quotes.
        {"conv?&i &o &p", "C:\\My Docs\\a b.txt", "HP Laser",
         "conv \"C:\\My Docs\\a b.txt\" O \"HP Laser\""},
        {"conv?&i", "C:\\Long Name\\x.txt", "P", "conv C:\\LONGNA~1\\X.TXT"},
        {"conv?&i", "", "P", "conv \"\""},
        // A backslash before the closing quote would escape it.
        {"conv?&p", "C:\\a.txt", "\\\\srv\\My Printer\\", "conv \"\\\\srv\\My Printer\\\\\""},
        // A program of its own reads "&" and "%" as data.
        {"conv?&i", "C:\\R&D\\100%.txt", "P", "conv C:\\R&D\\100%.txt"},
        // cmd.exe would run what follows "&" or redirect at "<", ">", "|".
        {"C:\\bin\\conv.bat?&i &p", "C:\\R&D\\a.txt", "A|B",
         "C:\\bin\\conv.bat \"C:\\R&D\\a.txt\" \"A|B\""},
        {"conv.CMD?&i", "C:\\a>b.txt", "P", "conv.CMD \"C:\\a>b.txt\""},
        {"conv.bat?&i", "C:\\plain.txt", "P", "conv.bat C:\\plain.txt"},
        // A batch path with a blank and no short form: CreateProcess may still find it.
        {"C:\\My Tools\\conv.bat?&i &p", "C:\\R&D\\a.txt", "A|B",
         "C:\\My Tools\\conv.bat \"C:\\R&D\\a.txt\" \"A|B\""},
        // A name with " @" is no response-file marker.
        {"conv?&i -o &o", "C:\\a @b.txt", "P", "conv \"C:\\a @b.txt\" -o O"},
    };
    Printer.shortNames["C:\\Long Name\\x.txt"] = "C:\\LONGNA~1\\X.TXT";
    for (const Case& c : cases) {
        ResetDoubles();
        Printer.commands.clear();
        Printer.name = c.printer;
        FileAnalysis* file = TextFile(c.commandTemplate);
        CopyText(file->path, sizeof file->path, c.input);
        std::string output;
        Printer.program = [&](const std::string& command) {
            // The output file is the temporary file the command names.
            for (const std::string& word : Words(command))
                if (word.find("rvl") != std::string::npos && FileExists(word.c_str()))
                    output = word;
            return 0;
        };
        Convert(file);
        ASSERT_EQ(1u, Printer.commands.size()) << c.commandTemplate << " " << c.input;
        EXPECT_EQ(c.expected, WithOutputAsO(Printer.commands[0], output))
            << c.commandTemplate << " " << c.input;
    }
}

TEST_F(Conversion, NamesThatCmdWouldStillReadAreRefused) {
    struct Case {
        const char* commandTemplate;
        const char* input;
        const char* printer;
        const char* refused;
    } cases[] = {
        {"conv.bat?&i", "C:\\100%PATH%.txt", "P", "C:\\100%PATH%.txt"},
        {"conv.bat?&i", "C:\\a^b.txt", "P", "C:\\a^b.txt"},
        {"conv.cmd?&i", "C:\\Wow!.txt", "P", "C:\\Wow!.txt"},
        {"conv.bat?&i &p", "C:\\a.txt", "50%", "50%"},
        {"\"C:\\My Tools\\conv.bat\"?&i", "C:\\%x%.txt", "P", "C:\\%x%.txt"},
        // A quote would end the quoted name, for any program.
        {"conv?&p", "C:\\a.txt", "My \"Laser\"", "My \"Laser\""},
    };
    for (const Case& c : cases) {
        ResetDoubles();
        Printer.commands.clear();
        Printer.name = c.printer;
        FileAnalysis* file = TextFile(c.commandTemplate);
        CopyText(file->path, sizeof file->path, c.input);
        EXPECT_EQ(nullptr, Convert(file));
        EXPECT_FALSE(succeeded);
        EXPECT_TRUE(Printer.commands.empty()) << c.input;
        ASSERT_EQ(1u, ShownBoxes.size()) << c.input;
        EXPECT_EQ(std::string("The conversion program cannot be given ") + c.refused + " safely",
                  ShownBoxes[0].text);
    }
    // The short form of the file may leave nothing for cmd.exe to read.
    ResetDoubles();
    Printer.commands.clear();
    Printer.name = "P";
    Printer.shortNames["C:\\100%\\a b.txt"] = "C:\\100_\\AB~1.TXT";
    FileAnalysis* file = TextFile("conv.bat?&i");
    CopyText(file->path, sizeof file->path, "C:\\100%\\a b.txt");
    Convert(file);
    ASSERT_EQ(1u, Printer.commands.size());
    EXPECT_EQ("conv.bat C:\\100_\\AB~1.TXT", Printer.commands[0]);
}

TEST_F(Conversion, ResponseFileStartsAtTheTemplatesOwnMarker) {
    FileAnalysis* file = TextFile("conv?&i @-o &o");
    CopyText(file->path, sizeof file->path, "C:\\x @y.txt");
    std::string response;
    Printer.program = [&](const std::string& command) {
        size_t at = command.rfind(" @");
        response = ReadTestFile(command.substr(at + 2));
        return 0;
    };
    Convert(file);
    ASSERT_EQ(1u, Printer.commands.size());
    EXPECT_EQ(0u, Printer.commands[0].find("conv \"C:\\x @y.txt\" @"));
    EXPECT_EQ(0u, response.find("-o "));
}

TEST_F(Conversion, QuotedProgramKeepsItsDirectory) {
    char directory[kPathSize];
    struct Case {
        const char* command;
        const char* directory;
    } cases[] = {
        {"\"C:\\Program Files\\Conv\\conv.exe\" -x \"C:\\a b\\c.txt\"",
         "C:\\Program Files\\Conv\\"},
        {"C:\\tools\\txt2ps.exe -o C:\\out\\a.ps", "C:\\tools\\"},
        {"C:\\tools\\txt2ps.exe", "C:\\tools\\"},
        {"conv -x", ""},
        {"\"conv\"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(ProgramDirectoryOf(c.command, directory, sizeof directory));
        EXPECT_STREQ(c.directory, directory) << c.command;
    }
    // A quoted program path with blanks is put in its short form like any other.
    Printer.existingPrograms.push_back("C:\\Program Files\\Converter\\conv.exe");
    FileAnalysis* file = TextFile("\"C:\\Program Files\\Converter\\conv.exe\"?-x");
    Convert(file);
    ASSERT_EQ(1u, Printer.commands.size());
    EXPECT_EQ("C:\\PROGRA~1\\CONVER~1\\CONV.EXE -x", Printer.commands[0]);
}

TEST_F(Conversion, FailedConversionFailsTheEntry) {
    FileAnalysis* file = TextFile("conv?&o");
    std::string output;
    int result = 2;
    std::string written;
    Printer.program = [&](const std::string& command) {
        output = Words(command)[1];
        if (!written.empty())
            WriteTestFile(output, written);
        return result;
    };
    // Not started, or nothing written: the file is not printed, so the entry
    // fails (and the job runner keeps the file).
    EXPECT_FALSE(DispatchFile(file, false));
    EXPECT_TRUE(Shown("Failed to start conversion program"));
    result = 0;
    ResetDoubles();
    EXPECT_FALSE(DispatchFile(file, false));
    EXPECT_TRUE(Shown("Conversion failed"));
    // A program that prints by itself succeeds.
    ResetDoubles();
    written = "done";
    CurrentSettings.conversion[kConvTxt].ConvPrint = 1;
    EXPECT_TRUE(DispatchFile(file, false));
    EXPECT_TRUE(ShownBoxes.empty());
    EXPECT_FALSE(FileExists(output.c_str()));
}

// A program that prints by itself has no output to be judged by: its exit
// code says whether the file printed. One whose output is printed is judged
// by that output alone, as the stored templates expect.
TEST_F(Conversion, AProgramThatPrintsByItselfFailsTheFileUnlessItExitsWithZero) {
    struct Case {
        int convPrint;
        int startError;
        unsigned long exitCode;
        DispatchResult result;
        const char* message; // none when empty
    } cases[] = {
        {1, 0, 0, kPrinted, ""},
        {1, 0, 1, kPrintFailed,
         "The conversion program ended with exit code 1; nothing has "
         "been printed"},
        {1, 0, 3221225477ul, kPrintFailed,
         "The conversion program ended with exit code "
         "3221225477; nothing has been printed"},
        {1, 2, 0, kPrintFailed, "Failed to start conversion program"},
        {0, 0, 1, kPrinted, ""},
    };
    for (const Case& c : cases) {
        ResetDoubles();
        ResetPrinter();
        FileAnalysis* file = TextFile("conv?&o");
        CurrentSettings.conversion[kConvTxt].ConvPrint = c.convPrint;
        std::string output;
        Printer.exitCode = c.exitCode;
        Printer.program = [&](const std::string& command) {
            output = Words(command)[1];
            WriteTestFile(output, "\x1b"
                                  "E printer-ready output");
            return c.startError;
        };
        EXPECT_EQ(c.result, DispatchFile(file, false)) << c.exitCode;
        if (c.message[0]) {
            ASSERT_EQ(1u, ShownBoxes.size()) << c.exitCode;
            EXPECT_EQ(c.message, ShownBoxes[0].text);
            EXPECT_EQ(kMessageError, ShownBoxes[0].kind);
        } else {
            EXPECT_TRUE(ShownBoxes.empty()) << c.exitCode;
        }
        EXPECT_EQ(c.convPrint || c.result != kPrinted ? 0u : 1u, Printer.jobs.size());
        EXPECT_FALSE(FileExists(output.c_str())) << c.exitCode;
    }
}

// Points the system's temporary directory somewhere else for one test.
class TemporaryDirectory {
  public:
    explicit TemporaryDirectory(const std::string& path) {
        const char* old = getenv(kVariable);
        saved = old ? old : "";
        hadValue = old != nullptr;
        Set(path);
    }
    ~TemporaryDirectory() {
        if (hadValue)
            Set(saved);
        else
            Set("");
    }

  private:
#ifdef _WIN32
    static constexpr const char* kVariable = "TMP";
    static void Set(const std::string& value) {
        _putenv((std::string("TMP=") + value).c_str());
        _putenv((std::string("TEMP=") + value).c_str());
    }
#else
    static constexpr const char* kVariable = "TMPDIR";
    static void Set(const std::string& value) {
        if (value.empty())
            unsetenv(kVariable);
        else
            setenv(kVariable, value.c_str(), 1);
    }
#endif
    std::string saved;
    bool hadValue;
};

TEST_F(Conversion, ResponseFileInADirectoryWithABlankIsOneArgument) {
    FileAnalysis* file = TextFile("conv?-q @-o &o &i");
    std::string scratch = MakeScratchDirectory();
#ifdef _WIN32
    std::string directory = scratch + "\\Temp Dir";
#else
    std::string directory = scratch + "/Temp Dir";
#endif
    ASSERT_TRUE(MakeDirectory(directory.c_str()));
    std::vector<ReadWord> words;
    std::string response;
    Printer.program = [&](const std::string& command) {
        words = SplitByCRuntime(WholeLine(command));
        if (words.size() == 3 && words[2].text[0] == '@')
            response = ReadTestFile(words[2].text.substr(1));
        return 0;
    };
    {
        TemporaryDirectory temporary(directory);
        Convert(file);
    }
    RemoveDirectoryTree(scratch.c_str());
    ASSERT_EQ(3u, words.size());
    EXPECT_EQ(0u, words[2].text.find("@" + directory));
    EXPECT_EQ(0u, response.find("-o "));
}

TEST_F(Conversion, TemporaryFilesThatCannotBeMadeAreReported) {
    FileAnalysis* text = TextFile("conv?&i &o");
    FileAnalysis* structured = StructuredForConversion();
    ASSERT_EQ(StructuredPostScript, structured->kind);
    {
        TemporaryDirectory missing(MakeFile("") + "-missing");
        // The conversion's output file.
        EXPECT_EQ(nullptr, Convert(text));
        EXPECT_FALSE(succeeded);
        ASSERT_EQ(1u, ShownBoxes.size());
        EXPECT_EQ("Failed to create temporary file: C:\\docs\\a.txt", ShownBoxes[0].text);
        // The composed job for the conversion program.
        ResetDoubles();
        EXPECT_FALSE(DispatchFile(structured, false));
        ASSERT_EQ(1u, ShownBoxes.size());
        EXPECT_EQ("Failed to create temporary file: C:\\docs\\s.ps", ShownBoxes[0].text);
    }
    EXPECT_TRUE(Printer.commands.empty());
}

TEST_F(Conversion, CompositionThatFailsIsReported) {
    FileAnalysis* source = StructuredForConversion();
    ASSERT_EQ(StructuredPostScript, source->kind);
#ifndef _WIN32 // this C runtime reads nothing from a write-only stream without an error
    // The source can no longer be read.
    FILE* readable = source->file;
    source->file = OpenStream(MakeFile("").c_str(), "ab");
    ASSERT_NE(nullptr, source->file);
    bool dispatched = DispatchFile(source, false);
    std::fclose(source->file);
    source->file = readable;
    EXPECT_FALSE(dispatched);
    ASSERT_EQ(1u, ShownBoxes.size());
    EXPECT_EQ(0u, ShownBoxes[0].text.find(std::string("An error occured when accessing ") +
                                          source->path));
    EXPECT_EQ(kMessageError, ShownBoxes[0].kind);
    EXPECT_TRUE(Printer.commands.empty());
#endif

    // A stop is the user's own doing: no message.
    ResetDoubles();
    StopRequested = true;
    EXPECT_FALSE(DispatchFile(source, false));
    EXPECT_TRUE(ShownBoxes.empty());
}

} // namespace
