// Conversion commands from any template and any names. The line is read back
// by the C runtime's rules, and by cmd.exe's and a batch file's wherever
// cmd.exe may read it: each name must come back whole within one argument,
// or have been refused, and no character of a name that cmd.exe acts on may
// stand outside quotes. Layout of the input: template, input, output,
// printer and response file's path, separated by NULs; template bytes from
// 0x80 up stand for pieces that templates are made of.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cstdio>
#include <string>
#include <vector>

#include "output/conversion_command.h"
#include "tests/output/command_readers.h"

namespace {

// For the crash report: the check that failed and what it looked at.
std::string shownTemplate;
std::string shownLine;

void Check(bool condition, int line = __builtin_LINE()) {
    if (!condition) {
        std::fprintf(stderr, "check at line %d failed\ntemplate [%s]\nline     [%s]\n", line,
                     shownTemplate.c_str(), shownLine.c_str());
        std::abort();
    }
}

const char* const kPieces[] = {
    "&i",
    "&o",
    "&p",
    " @",
    "?",
    " ",
    "\"",
    "\\",
    "^",
    "%",
    "!",
    "&",
    "|",
    "(",
    ",",
    "cmd?/c ",
    "cmd?/s /c ",
    "cmd?/k",
    "/c ",
    "conv.exe?",
    "conv.bat?",
    "conv.CMD. ?",
    "C:\\My Tools\\conv.bat",
    "C:\\cmd\\x y?",
    "\"&i\"",
    "\"&o\\\"",
    "-sOutputFile=\"%printer%&p\"",
};

std::string Template(const std::string& bytes) {
    std::string text;
    for (unsigned char c : bytes) {
        if (c < 0x80)
            text += static_cast<char>(c);
        else
            text += kPieces[(c - 0x80) % (sizeof kPieces / sizeof kPieces[0])];
    }
    return text;
}

bool Within(size_t place, const PlacedName& name) {
    return place >= name.at && place < name.at + name.length;
}

// The name must come back from `words` unchanged and in one piece of one
// word whose text it was read from. A batch file keeps quotes, which only
// the line put around the name.
bool ComesBackWhole(const std::vector<ReadWord>& words, const PlacedName& placed, bool keepsQuotes,
                    bool programMayHoldIt) {
    const ReadWord* holder = nullptr;
    std::string text;
    size_t last = 0;
    for (size_t w = 0; w < words.size(); ++w) {
        const ReadWord& word = words[w];
        for (size_t k = 0; k < word.text.size(); ++k) {
            if (!Within(word.from[k], placed) || (keepsQuotes && word.text[k] == '"'))
                continue;
            if (holder && (holder != &word || k != last + 1))
                return false;
            if (w == 0 && !programMayHoldIt)
                return false;
            holder = &word;
            last = k;
            text += word.text[k];
        }
    }
    if (text != placed.name)
        return false;
    // An empty name still stands as (part of) a word.
    for (const ReadWord& word : words)
        if (word.begin <= placed.at && placed.at + placed.length <= word.end &&
            (!holder || holder == &word))
            return true;
    return false;
}

void CheckByCmd(const ConversionCommand& command) {
    std::string line = command.line;
    CmdReading reading = ReadByCmd(line, command.cmdProgram);
    if (command.placedCount == 0)
        return;
    Check(!reading.unsure);
    Check(!reading.commands.empty());
    for (int i = 0; i < command.placedCount; ++i) {
        const PlacedName& placed = command.placed[i];
        for (size_t p = placed.at; p < placed.at + placed.length; ++p) {
            // Expanded inside quotes too.
            Check(line[p] != '%' && line[p] != '!');
            for (size_t unquoted : reading.unquoted)
                Check(unquoted != p);
        }
        // Nor read as the name of a variable.
        bool percentBefore = line.find_first_of("%") < placed.at;
        bool percentAfter = line.find('%', placed.at + placed.length) != std::string::npos;
        bool bangBefore = line.find_first_of("!") < placed.at;
        bool bangAfter = line.find('!', placed.at + placed.length) != std::string::npos;
        Check(!(percentBefore && percentAfter) && !(bangBefore && bangAfter));
        bool found = false;
        for (const LineView& part : reading.commands) {
            bool holds = false;
            for (size_t at : part.places)
                holds = holds || Within(at, placed);
            if (!holds &&
                !(placed.length == 0 && !part.places.empty() && part.places.front() <= placed.at &&
                  placed.at <= part.places.back() + 1))
                continue;
            found = true;
            // A name may be the program of a command where the template puts
            // it (after cmd.exe's /c, or its own "&"); never the line's own.
            Check(ComesBackWhole(SplitBatchParameters(part), placed, true, true));
            // Through cmd.exe itself, any program may come next.
            if (command.reader == kReadByCmd)
                Check(ComesBackWhole(SplitByCRuntime(part), placed, false, true));
        }
        Check(found);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0 && parts.size() < 5)
            parts.emplace_back();
        else if (data[i] != 0)
            parts.back() += static_cast<char>(data[i]);
    }
    parts.resize(5);
    std::string commandTemplate = Template(parts[0]);
    if (commandTemplate.size() > 300)
        return 0;
    shownTemplate = commandTemplate;
    shownLine.clear();
    const std::string& response = parts[4];

    ConversionCommand command;
    CommandResult result = ExpandConversionCommand(commandTemplate.c_str(), parts[1].c_str(),
                                                   parts[2].c_str(), parts[3].c_str(), &command);
    if (result == kCommandReady && command.marker != kNoPlace) {
        Check(std::strncmp(command.line + command.marker, " @", 2) == 0);
        result = UseResponseFile(&command, response.c_str());
    }
    if (result == kCommandReady)
        result = FinishConversionCommand(&command);
    if (result == kCommandUnsafeName) {
        bool known = false;
        for (int i = 1; i < 4; ++i)
            known = known || command.refused == parts[static_cast<size_t>(i)].c_str();
        Check(known || command.refused == response.c_str());
        return 0;
    }
    if (result == kCommandTooLong)
        return 0;

    std::string line = command.line;
    shownLine = command.line;
    Check(line.size() < kPathSize);
    size_t end = 0;
    for (int i = 0; i < command.placedCount; ++i) {
        Check(command.placed[i].at >= end);
        end = command.placed[i].at + command.placed[i].length;
        Check(end <= line.size());
    }
    // Whenever the program may be cmd.exe or a batch file, cmd.exe's rules
    // were used: CreateProcess tries each part of an unquoted line up to a
    // blank in turn.
    if (command.reader == kReadByProgram) {
        size_t firstName = command.placedCount ? command.placed[0].at : line.size();
        std::vector<std::string> programs;
        if (line[0] == '"')
            programs.push_back(ProgramOfLine(line, {}));
        for (size_t i = 0; line[0] != '"' && i <= firstName && line[i] != '"'; ++i)
            if (i == firstName || line[i] == ' ' || line[i] == '\t')
                programs.push_back(line.substr(0, i));
        for (const std::string& program : programs)
            Check(!IsBatchName(program) && !IsCmdName(program));
    }
    if (command.reader == kReadByProgram) {
        std::vector<ReadWord> words = SplitByCRuntime(WholeLine(line));
        for (int i = 0; i < command.placedCount; ++i)
            Check(ComesBackWhole(words, command.placed[i], false, false));
    } else {
        CheckByCmd(command);
    }
    return 0;
}
