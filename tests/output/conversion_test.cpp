// Conversion programs: the command line made from the template, the files
// around the program, and the conversion inside the dispatcher.
#include "output_test_support.h"

#include "common/messages.h"
#include "output/conversion.h"
#include "output/dispatch.h"

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
};

TEST_F(Conversion, TemplateBecomesTheCommandLine) {
    FileAnalysis* file = TextFile("C:\\tools\\txt2ps.exe?-o &o &i");
    ProgramWrites("%!\nshowpage\n", 2);
    FileAnalysis* result = Keep(RunConversion(file));
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
        RunConversion(file);
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
    FileAnalysis* result = Keep(RunConversion(file));
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
        EXPECT_EQ(nullptr, Keep(RunConversion(file)));
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
        EXPECT_EQ(nullptr, RunConversion(file));
        if (Printer.commands.empty()) {
            ASSERT_EQ(1u, ShownBoxes.size()) << commandTemplate;
            EXPECT_EQ("Conversion command is too long", ShownBoxes[0].text);
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
    EXPECT_EQ(nullptr, RunConversion(file));
    ASSERT_EQ(1u, ShownBoxes.size());
    EXPECT_EQ("Failed to start conversion program", ShownBoxes[0].text);

    // It wrote nothing.
    ResetDoubles();
    ProgramWrites("", 1);
    EXPECT_EQ(nullptr, RunConversion(file));
    ASSERT_EQ(1u, ShownBoxes.size());
    EXPECT_EQ("Conversion failed", ShownBoxes[0].text);

    // It prints by itself.
    ResetDoubles();
    CurrentSettings.conversion[kConvTxt].ConvPrint = 1;
    ProgramWrites("printed", 1);
    EXPECT_EQ(nullptr, RunConversion(file));
    EXPECT_TRUE(ShownBoxes.empty());

    // The user stopped it.
    ResetDoubles();
    CurrentSettings.conversion[kConvTxt].ConvPrint = 0;
    Printer.program = [&](const std::string& command) {
        outputFiles.push_back(Words(command)[1]);
        StopRequested = true;
        return 5;
    };
    EXPECT_EQ(nullptr, RunConversion(file));
    EXPECT_TRUE(ShownBoxes.empty());

    ASSERT_EQ(4u, outputFiles.size());
    for (const std::string& path : outputFiles)
        EXPECT_FALSE(FileExists(path.c_str())) << path;
}

TEST_F(Conversion, ShownWindowWhenAsked) {
    FileAnalysis* file = TextFile("conv?&o");
    CurrentSettings.conversion[kConvTxt].ShowConvWind = 1;
    ProgramWrites("x", 1);
    Keep(RunConversion(file));
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
    EXPECT_TRUE(DispatchFile(source));
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
    EXPECT_TRUE(DispatchFile(source));
    EXPECT_TRUE(Printer.jobs.empty());
    EXPECT_TRUE(ShownBoxes.empty());
    EXPECT_FALSE(FileExists(files[1].c_str()));
    EXPECT_FALSE(FileExists(files[2].c_str()));
}

} // namespace
