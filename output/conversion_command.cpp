// The conversion command line and the three readers that may take it apart:
// a program splits it by the C runtime's rules (blanks split, quotes group,
// backslashes before a quote escape it); cmd.exe runs what follows an
// unquoted & or |, redirects at < and >, takes a caret outside quotes as an
// escape, and expands % and ! even inside quotes; a batch file splits its
// parameters at blanks , ; = outside quotes and keeps the quotes. A name is
// written so that every reader of its line gets it back whole, or refused.
#include "conversion_command.h"

#include <cctype>
#include <cstring>
#include <initializer_list>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// `text` without one pair of enclosing quotes.
bool Unquoted(const char* text, char* out, size_t size) {
    size_t length = std::strlen(text);
    if (length < 2 || text[0] != '"' || text[length - 1] != '"')
        return CopyText(out, size, text);
    if (length - 2 >= size)
        return false;
    std::memcpy(out, text + 1, length - 2);
    out[length - 2] = '\0';
    return true;
}

// The command line before its tokens are replaced. A program path with
// blanks is put in its short form, so that the command line stays
// unambiguous for the program that splits it.
bool BuildCommand(const char* commandTemplate, char* out, size_t size) {
    const char* question = std::strchr(commandTemplate, '?');
    if (!question)
        return CopyText(out, size, commandTemplate);
    char program[kPathSize];
    size_t length = static_cast<size_t>(question - commandTemplate);
    if (length >= sizeof program)
        return false;
    std::memcpy(program, commandTemplate, length);
    program[length] = '\0';
    char bare[kPathSize];
    char shortPath[kPathSize];
    if (std::strchr(program, ' ') && Unquoted(program, bare, sizeof bare) &&
        ShortProgramPath(bare, shortPath, sizeof shortPath))
        CopyText(program, sizeof program, shortPath);
    return FormatText(out, size, "%s %s", program, question + 1);
}

// Ordered: the strictest reader wins.
enum ProgramKind { kOtherProgram, kBatchProgram, kCmdProgram };

ProgramKind KindOfProgram(const char* name, size_t length) {
    // Windows drops trailing dots and blanks from a file name.
    while (length > 0 && (name[length - 1] == '.' || IsBlank(name[length - 1])))
        --length;
    size_t start = length;
    while (start > 0 && !std::strchr("\\/:", name[start - 1]))
        --start;
    char base[kPathSize];
    size_t n = length - start;
    if (n >= sizeof base)
        return kOtherProgram;
    std::memcpy(base, name + start, n);
    base[n] = '\0';
    for (const char* shell : {"cmd", "cmd.exe", "command", "command.com"})
        if (CompareNoCase(base, shell) == 0)
            return kCmdProgram;
    if (n >= 4 &&
        (CompareNoCase(base + n - 4, ".bat") == 0 || CompareNoCase(base + n - 4, ".cmd") == 0))
        return kBatchProgram;
    return kOtherProgram;
}

bool IsTokenAt(const char* text) {
    return text[0] == '&' && text[1] != '\0' && std::strchr("iop", text[1]);
}

// The strictest of the programs CreateProcess may take the command for: a
// quoted path, else each part up to a blank, longer and longer, up to the
// first token, since it tries them in turn until one names a file.
ProgramKind KindOfCommand(const char* command) {
    if (command[0] == '"') {
        const char* end = std::strchr(command + 1, '"');
        size_t length = end ? static_cast<size_t>(end - command - 1) : std::strlen(command + 1);
        return KindOfProgram(command + 1, length);
    }
    ProgramKind kind = kOtherProgram;
    for (size_t i = 0;; ++i) {
        bool end = command[i] == '\0' || command[i] == '"' || IsTokenAt(command + i);
        if (end || IsBlank(command[i])) {
            ProgramKind here = KindOfProgram(command, i);
            if (here > kind)
                kind = here;
        }
        if (end)
            return kind;
    }
}

// The template's program part is judged as well as the line: a path with a
// blank that has no short form reads as several words.
CommandReader ReaderOf(const char* commandTemplate, const char* command, bool* cmdProgram) {
    ProgramKind kind = KindOfCommand(command);
    const char* question = std::strchr(commandTemplate, '?');
    char program[kPathSize];
    char bare[kPathSize];
    size_t length = question ? static_cast<size_t>(question - commandTemplate) : 0;
    if (question && length < sizeof program) {
        std::memcpy(program, commandTemplate, length);
        program[length] = '\0';
        if (Unquoted(program, bare, sizeof bare)) {
            ProgramKind own = KindOfProgram(bare, std::strlen(bare));
            if (own > kind)
                kind = own;
        }
    }
    *cmdProgram = kind == kCmdProgram;
    // Without "?" nothing says which program runs, so it may be cmd.exe.
    if (kind == kCmdProgram || !question)
        return kReadByCmd;
    return kind == kBatchProgram ? kReadByBatch : kReadByProgram;
}

// How the readers see one place of the line. cmd.exe splits the line into
// commands, and each program counts quotes from the start of its own, so
// the readers can be trusted to agree there only where they have agreed
// about every quote before it.
struct Quoting {
    bool inProgram;  // within the program's name
    bool crtInside;  // inside quotes by the C runtime's rules,
    bool crtUnsure;  // which its versions read differently from a "" inside quotes on
    bool inside;     // inside quotes counting every quote, as cmd.exe and batch files do
    bool crtDiffers; // a quote before that the runtime takes as plain (after \ or "")
    bool cmdDiffers; // a quote before that a caret made plain for cmd.exe
    bool cmdEscaped; // right after a caret that makes the next character plain
    bool variable;   // between two "%" or two "!", where cmd.exe may put a variable
};

// The end of the program's name: the first blank outside quotes.
size_t ProgramEnd(const char* line) {
    bool inside = false;
    size_t i = 0;
    for (; line[i] && (inside || !IsBlank(line[i])); ++i)
        if (line[i] == '"')
            inside = !inside;
    return i;
}

Quoting QuotingAt(const char* line, size_t place, bool cmdReads) {
    Quoting q = {};
    size_t programEnd = ProgramEnd(line);
    // A quote left open in the program's name takes in the whole line.
    q.inProgram = place < programEnd || line[programEnd] == '\0';
    bool percent = false;
    bool bang = false;
    bool cmdInside = false;
    size_t slashes = 0; // backslashes right before, as the runtime gets them
    for (size_t i = 0; i < place; ++i) {
        char c = line[i];
        if (c == '"') {
            bool escaped = slashes % 2 == 1;
            if (i >= programEnd && !escaped) {
                if (q.crtInside && line[i + 1] == '"')
                    q.crtUnsure = true;
                q.crtInside = !q.crtInside;
            }
            q.crtDiffers = q.crtDiffers || escaped || (q.inside && line[i + 1] == '"');
            q.cmdDiffers = q.cmdDiffers || q.cmdEscaped;
            q.inside = !q.inside;
        }
        // cmd.exe takes out a caret that escapes, so the runtime after it
        // reads the backslashes on either side as one run.
        bool dropped = cmdReads && c == '^' && !cmdInside && !q.cmdEscaped;
        if (q.cmdEscaped)
            q.cmdEscaped = false;
        else if (c == '"')
            cmdInside = !cmdInside;
        else if (c == '^' && !cmdInside)
            q.cmdEscaped = true;
        if (!dropped)
            slashes = c == '\\' ? slashes + 1 : 0;
        percent = percent || c == '%';
        bang = bang || c == '!';
    }
    q.variable =
        (percent && std::strchr(line + place, '%')) || (bang && std::strchr(line + place, '!'));
    return q;
}

// Characters that split a name into several arguments, or that cmd.exe acts
// on unless they are quoted.
bool NeedsQuotes(const char* name, bool cmdReads) {
    return name[0] == '\0' || std::strpbrk(name, cmdReads ? " \t&|<>(),;=" : " \t") != nullptr;
}

// Characters that no quoting protects: a quote ends the quoted name, a line
// end ends the command, cmd.exe expands "%" and "!" inside quotes too, and a
// caret is taken up again by every batch line that passes the name on.
bool Unsafe(const char* name, bool cmdReads) {
    for (const char* c = name; *c; ++c)
        if (static_cast<unsigned char>(*c) < 32 || *c == '"')
            return true;
    return cmdReads && std::strpbrk(name, "%!^") != nullptr;
}

// Where cmd.exe's command starts: after the /c (or /k, /r) that follows
// its other switches; kNoPlace when it has none.
size_t CommandAfterSwitch(const char* line) {
    size_t i = ProgramEnd(line);
    for (;;) {
        while (IsBlank(line[i]))
            ++i;
        if (line[i] != '/')
            return kNoPlace;
        char c = static_cast<char>(std::tolower(static_cast<unsigned char>(line[i + 1])));
        if (c == 'c' || c == 'k' || c == 'r') {
            for (i += 2; IsBlank(line[i]);)
                ++i;
            return i;
        }
        for (++i; line[i] && !IsBlank(line[i]) && line[i] != '/';)
            ++i;
    }
}

// Where a name goes in the line.
struct Slot {
    Quoting quoting;
    char before;      // the line's character before it; none at the start
    char after;       // the template's character after it; none at the end
    bool nameFollows; // another name comes right after it
    bool inSwitches;  // before the command that cmd.exe as the program runs
};

// Names among cmd.exe's own switches, or on a cmd.exe line without a
// command, would be read as switches; after switches that hold a quote it is
// not known where cmd.exe starts counting quotes.
bool AmongSwitches(const ConversionCommand& command, const char* line, size_t place) {
    if (!command.cmdProgram)
        return false;
    size_t start = CommandAfterSwitch(line);
    if (start == kNoPlace || place < start)
        return true;
    size_t programEnd = ProgramEnd(line);
    return std::memchr(line + programEnd, '"', start - programEnd) != nullptr;
}

// `name` as its readers must find it at `slot`: bare inside the template's
// own quotes, else as it is when nothing in it needs care, else in the short
// form of an existing file when that needs none, else in quotes. False when
// no form is safe there.
bool WriteName(const char* name, bool isFile, CommandReader reader, const Slot& slot, char* out,
               size_t size) {
    bool cmdReads = reader != kReadByProgram;
    bool crtReads = reader != kReadByBatch;
    const Quoting& q = slot.quoting;
    // Where the readers would disagree about the quotes, no form is safe.
    if (q.inProgram || slot.inSwitches || (crtReads && q.crtUnsure))
        return false;
    if (cmdReads && (q.cmdDiffers || q.cmdEscaped || q.variable || (crtReads && q.crtDiffers)))
        return false;
    bool inside = cmdReads ? q.inside : q.crtInside;

    char shortName[kPathSize];
    if (isFile && (Unsafe(name, cmdReads) || (!inside && NeedsQuotes(name, cmdReads))) &&
        ShortProgramPath(name, shortName, sizeof shortName) && !Unsafe(shortName, cmdReads))
        name = shortName;
    if (Unsafe(name, cmdReads))
        return false;
    bool quote = !inside && NeedsQuotes(name, cmdReads);
    size_t length = std::strlen(name);
    size_t trailing = 0;
    while (trailing < length && name[length - trailing - 1] == '\\')
        ++trailing;
    char next = quote ? '"' : slot.after;
    if (crtReads) {
        // Backslashes escape a quote after them, and versions of the runtime
        // read two quotes in a row inside quotes differently.
        if (slot.before == '\\' && (quote || trailing == length))
            return false;
        if (quote && (slot.before == '"' || slot.after == '"'))
            return false;
        if (trailing > 0 && (next == '\\' || (!quote && slot.nameFollows)))
            return false;
        // Nor may they meet what follows a caret that cmd.exe takes out.
        if (trailing > 0 && cmdReads && !inside && next == '^')
            return false;
    }
    // Backslashes before a quote are doubled for a program, which would take
    // them for an escape; a batch file reads them as written. Through cmd.exe
    // either may read them.
    bool doubled = trailing > 0 && next == '"';
    if (doubled && reader == kReadByCmd)
        return false;
    bool fits = CopyText(out, size, quote ? "\"" : "") && AppendText(out, size, name);
    for (size_t i = 0; fits && doubled && reader == kReadByProgram && i < trailing; ++i)
        fits = AppendText(out, size, "\\");
    return fits && AppendText(out, size, quote ? "\"" : "");
}

bool Place(ConversionCommand* command, const char* name, const char* text) {
    size_t at = std::strlen(command->line);
    if (!AppendText(command->line, sizeof command->line, text))
        return false;
    command->placed[command->placedCount++] = PlacedName{name, at, std::strlen(text)};
    return true;
}

struct Token {
    const char* text;
    const char* name; // none for the response-file marker
    bool isFile;
    size_t at; // in the command as the template made it
};

bool AppendPart(char* out, size_t size, const char* text, size_t length) {
    size_t used = std::strlen(out);
    if (used + length >= size)
        return false;
    std::memcpy(out + used, text, length);
    out[used + length] = '\0';
    return true;
}

} // namespace

CommandResult ExpandConversionCommand(const char* commandTemplate, const char* input,
                                      const char* output, const char* printer,
                                      ConversionCommand* command) {
    command->line[0] = '\0';
    command->marker = kNoPlace;
    command->placedCount = 0;
    command->refused = nullptr;
    char built[kPathSize];
    if (!BuildCommand(commandTemplate, built, sizeof built) ||
        std::strlen(input) + std::strlen(built) + std::strlen(output) >= kPathSize)
        return kCommandTooLong;
    command->reader = ReaderOf(commandTemplate, built, &command->cmdProgram);

    // The first of each token, found in the command as the template made it,
    // so that a name which itself holds "&o", "&p" or " @" is never taken for
    // a token or the marker.
    Token tokens[] = {{"&i", input, true, kNoPlace},
                      {"&o", output, true, kNoPlace},
                      {"&p", printer, false, kNoPlace},
                      {" @", nullptr, false, kNoPlace}};
    for (Token& token : tokens)
        if (const char* found = std::strstr(built, token.text))
            token.at = static_cast<size_t>(found - built);
    char* line = command->line;
    size_t size = sizeof command->line;
    for (size_t done = 0;;) {
        Token* next = nullptr;
        for (Token& token : tokens)
            if (token.at != kNoPlace && token.at >= done && (!next || token.at < next->at))
                next = &token;
        if (!next)
            return AppendText(line, size, built + done) ? kCommandReady : kCommandTooLong;
        if (!AppendPart(line, size, built + done, next->at - done))
            return kCommandTooLong;
        done = next->at + 2;
        if (!next->name) {
            command->marker = std::strlen(line);
            if (!AppendText(line, size, " @"))
                return kCommandTooLong;
            continue;
        }
        size_t used = std::strlen(line);
        Slot slot = {QuotingAt(built, next->at, command->reader != kReadByProgram),
                     used ? line[used - 1] : '\0', built[done], false,
                     AmongSwitches(*command, built, next->at)};
        for (const Token& other : tokens)
            slot.nameFollows = slot.nameFollows || (other.name && other.at == done);
        char text[2 * kPathSize + 2];
        if (!WriteName(next->name, next->isFile, command->reader, slot, text, sizeof text)) {
            command->refused = next->name;
            return kCommandUnsafeName;
        }
        if (!Place(command, next->name, text))
            return kCommandTooLong;
    }
}

CommandResult UseResponseFile(ConversionCommand* command, const char* path) {
    size_t end = command->marker + 2;
    command->line[end] = '\0';
    // The names after the marker went into the file.
    int kept = 0;
    for (int i = 0; i < command->placedCount; ++i)
        if (command->placed[i].at < end)
            command->placed[kept++] = command->placed[i];
    command->placedCount = kept;
    Slot slot = {QuotingAt(command->line, end, command->reader != kReadByProgram), '@', '\0', false,
                 AmongSwitches(*command, command->line, end)};
    char text[2 * kPathSize + 2];
    if (!WriteName(path, true, command->reader, slot, text, sizeof text)) {
        command->refused = path;
        return kCommandUnsafeName;
    }
    return Place(command, path, text) ? kCommandReady : kCommandTooLong;
}

CommandResult FinishConversionCommand(ConversionCommand* command) {
    char* line = command->line;
    size_t start = command->cmdProgram ? CommandAfterSwitch(line) : kNoPlace;
    if (start == kNoPlace || line[start] != '"')
        return kCommandReady;
    size_t length = std::strlen(line);
    if (length + 2 >= sizeof command->line)
        return kCommandTooLong;
    std::memmove(line + start + 1, line + start, length - start + 1);
    line[start] = '"';
    line[length + 1] = '"';
    line[length + 2] = '\0';
    for (int i = 0; i < command->placedCount; ++i)
        if (command->placed[i].at >= start)
            ++command->placed[i].at;
    return kCommandReady;
}
