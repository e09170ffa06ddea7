// Conversion commands against crafted names: for every template and name the
// conversion program gets exactly the arguments meant, or the name is refused
// with message 120, and nothing else ever runs. Natively the command lines
// are read back by the readers' models; under Wine the real CreateProcess
// and cmd.exe run the tests' converter and a batch file, which write down the
// arguments they got.
#include "output_test_support.h"

#include "command_readers.h"
#include "common/file_system.h"
#include "output/conversion.h"

#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

enum Reader { kProgram, kBatch, kCmd };

struct Template {
    const char* text; // {c} the converter, {b} the batch file
    Reader reader;
    const char* meant; // its arguments, one a line: {i} input, {o} output, {p} printer
};

const Template kTemplates[] = {
    {"{c}?&i &o &p", kProgram, "{i}\n{o}\n{p}"},
    {"{c}?\"&i\" \"&o\" \"&p\"", kProgram, "{i}\n{o}\n{p}"},
    {"cmd?/c {c} &i &o &p", kCmd, "{i}\n{o}\n{p}"},
    // cmd.exe takes the first and the last quote off a command that starts with one.
    {"cmd?/c \"{c}\" &i &o &p", kCmd, "{i}\n{o}\n{p}"},
    {"{b}?&i &o &p", kBatch, "{i}\n{o}\n{p}"},
    {"{b}?\"&i\" \"&o\" \"&p\"", kBatch, "{i}\n{o}\n{p}"},
    {"{c}?-sOutputFile=\"%printer%&p\" &i &o", kProgram, "-sOutputFile=%printer%{p}\n{i}\n{o}"},
};

// Each name is given as the input file and as the printer.
struct Name {
    const char* text;
    bool refused[3]; // by kProgram, kBatch, kCmd
};

const Name kNames[] = {
    {"C:\\My Docs\\a b.txt", {false, false, false}},
    {"C:\\data\\x&converter&.txt", {false, false, false}},
    {"C:\\data\\x|converter", {false, false, false}},
    {"C:\\data\\(draft), final.txt", {false, false, false}},
    {"C:\\data\\a^&converter.txt", {false, true, true}},
    {"C:\\data\\%PATH%.txt", {false, true, true}},
    {"C:\\data\\wow!.txt", {false, true, true}},
    {"C:\\data\\say \"hi\".txt", {true, true, true}},
    // Backslashes before a quote: a program and a batch file read them
    // differently, and through cmd.exe either may.
    {"C:\\My Docs\\", {false, false, true}},
    {"rel dir\\a&b.txt", {false, false, false}},
};

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    lines.push_back(text.substr(start));
    return lines;
}

class ConversionTable : public OutputTest {
  protected:
    void SetUp() override {
        OutputTest::SetUp();
        PrepareStandIns();
        CurrentSettings.conversion[kConvTxt].DoConv = 1;
    }
    void TearDown() override {
        RemoveStandIns();
        OutputTest::TearDown();
    }

#ifdef _WIN32
    // The converter writes its arguments to RVL_ARGS_LOG, the batch file its
    // parameters as written; an injected "converter" on the PATH would add
    // a run of its own.
    void PrepareStandIns() {
        converter = CONVERTER_EXE;
        if (!converter.empty() && converter[0] == '/')
            converter = "Z:" + converter;
        for (char& c : converter)
            if (c == '/')
                c = '\\';
        directory = MakeScratchDirectory();
        ASSERT_FALSE(directory.empty());
        batch = directory + "\\conv.bat";
        log = directory + "\\arguments.log";
        std::string script = "@echo off\r\n";
        for (const char* line : {"batch", "[%1]", "[%2]", "[%3]", "end"})
            script += std::string(">>\"%RVL_ARGS_LOG%\" echo ") + line + "\r\n";
        ASSERT_TRUE(WriteTestFile(batch, script));
        SetEnvironmentVariableA("RVL_ARGS_LOG", log.c_str());
        char path[32768];
        DWORD length = GetEnvironmentVariableA("PATH", path, sizeof path);
        savedPath.assign(path, length < sizeof path ? length : 0);
        std::string converterDirectory = converter.substr(0, converter.find_last_of('\\'));
        SetEnvironmentVariableA("PATH", (converterDirectory + ";" + savedPath).c_str());
    }
    void RemoveStandIns() {
        SetEnvironmentVariableA("RVL_ARGS_LOG", nullptr);
        SetEnvironmentVariableA("PATH", savedPath.c_str());
        RemoveDirectoryTree(directory.c_str());
    }
    std::vector<Invocation> Runs() {
        std::vector<Invocation> runs;
        for (const std::string& raw : Lines(ReadTestFile(log))) {
            std::string line = raw.substr(0, raw.find_last_not_of("\r ") + 1);
            if (line == "converter" || line == "batch")
                runs.push_back(Invocation{line, {}});
            else if (line.size() >= 2 && line[0] == '[' && !runs.empty())
                runs.back().arguments.push_back(line.substr(1, line.size() - 2));
        }
        RemoveFile(log.c_str());
        for (Invocation& run : runs)
            if (run.program == "batch")
                for (std::string& argument : run.arguments)
                    argument = WithoutQuotes(argument);
        return runs;
    }
    std::string directory;
    std::string log;
    std::string savedPath;
#else
    // "converter" for the tests' converter, "batch" for the batch file, else
    // the program's own name.
    static std::string Who(const std::string& program) {
        if (IsBatchName(program))
            return "batch";
        std::string name = program.substr(program.find_last_of("\\/") + 1);
        return name.substr(0, name.find('.'));
    }
    void PrepareStandIns() {
        converter = "C:\\tools\\converter.exe";
        batch = "C:\\tools\\conv.bat";
        Printer.program = [this](const std::string& line) {
            for (Invocation& run : RunLine(line, {converter, batch}))
                ran.push_back(Invocation{Who(run.program), run.arguments});
            return 0;
        };
    }
    void RemoveStandIns() {}
    std::vector<Invocation> Runs() {
        std::vector<Invocation> runs;
        runs.swap(ran);
        return runs;
    }
    std::vector<Invocation> ran;
#endif
    std::string converter;
    std::string batch;
};

TEST_F(ConversionTable, EveryNameReachesTheProgramWholeOrIsRefused) {
    FileAnalysis* file = Analyze("some text\r\n", "C:\\docs\\a.txt");
    ConversionSettings& conversion = CurrentSettings.conversion[kConvTxt];
    for (const Template& t : kTemplates) {
        std::string commandTemplate = Replaced(Replaced(t.text, "{c}", converter), "{b}", batch);
        CopyText(conversion.ConvCom, sizeof conversion.ConvCom, commandTemplate.c_str());
        for (const Name& name : kNames) {
            SCOPED_TRACE(commandTemplate + " with " + name.text);
            ResetDoubles();
            Printer.name = name.text;
            CopyText(file->path, sizeof file->path, name.text);
            // A relative name reaches the program as a full path.
            char input[kPathSize];
            ASSERT_TRUE(std::strchr(name.text, ':') ? CopyText(input, sizeof input, name.text)
                                                    : FullPathOf(name.text, input, sizeof input));
            FileAnalysis* output = nullptr;
            RunConversion(file, &output);
            if (output)
                ReleaseFile(output, true);
            std::vector<Invocation> runs = Runs();
            bool refused = false;
            for (const ShownBox& box : ShownBoxes)
                refused = refused || box.text.find("cannot be given") != std::string::npos;
            if (name.refused[t.reader]) {
                EXPECT_TRUE(refused);
                EXPECT_TRUE(runs.empty());
                continue;
            }
            EXPECT_FALSE(refused);
            if (runs.size() != 1) {
                std::string programs;
                for (const Invocation& run : runs)
                    programs += " " + run.program;
                ADD_FAILURE() << "ran:" << programs;
                continue;
            }
            EXPECT_EQ(t.reader == kBatch ? "batch" : "converter", runs[0].program);
            std::vector<std::string> meant = Lines(t.meant);
            EXPECT_EQ(meant.size(), runs[0].arguments.size());
            for (size_t k = 0; k < meant.size() && k < runs[0].arguments.size(); ++k) {
                const std::string& got = runs[0].arguments[k];
                if (meant[k] == "{o}")
                    EXPECT_NE(std::string::npos, got.find("rvl")) << got;
                else
                    EXPECT_EQ(Replaced(Replaced(meant[k], "{i}", input), "{p}", name.text), got);
            }
        }
    }
}

} // namespace
