// Readers of a command line, written from the rules the platform documents
// and checked against Wine's CreateProcess, C runtime and cmd.exe; kept apart
// from the program's own code so that the tests judge it independently.
#include "command_readers.h"

#include <cctype>
#include <cstring>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

void Take(const LineView& view, size_t i, ReadWord* word) {
    word->text += view.text[i];
    word->from.push_back(view.places[i]);
}

// The place in the line after the view's character i - 1.
size_t PlaceAfter(const LineView& view, size_t i) {
    return i == 0 ? (view.places.empty() ? 0 : view.places[0]) : view.places[i - 1] + 1;
}

void Append(LineView* view, const LineView& from, size_t i) {
    view->text += from.text[i];
    view->places.push_back(from.places[i]);
}

// A command as cmd.exe starts it: without the blanks before it.
LineView Trimmed(const LineView& command) {
    size_t blanks = 0;
    while (blanks < command.text.size() && IsBlank(command.text[blanks]))
        ++blanks;
    LineView trimmed;
    trimmed.text = command.text.substr(blanks);
    trimmed.places.assign(command.places.begin() + static_cast<long>(blanks), command.places.end());
    return trimmed;
}

std::string BaseName(const std::string& program) {
    size_t slash = program.find_last_of("\\/:");
    return Lower(slash == std::string::npos ? program : program.substr(slash + 1));
}

} // namespace

LineView WholeLine(const std::string& line) {
    LineView view;
    view.text = line;
    for (size_t i = 0; i < line.size(); ++i)
        view.places.push_back(i);
    return view;
}

std::vector<ReadWord> SplitByCRuntime(const LineView& view) {
    const std::string& t = view.text;
    size_t n = t.size();
    size_t i = 0;
    // The program's name: quotes group and go, backslashes are plain; a
    // blank at the start ends an empty one.
    std::vector<ReadWord> words(1);
    words[0].begin = i < n ? view.places[i] : PlaceAfter(view, n);
    bool inside = false;
    for (; i < n && (inside || !IsBlank(t[i])); ++i) {
        if (t[i] == '"')
            inside = !inside;
        else
            Take(view, i, &words[0]);
    }
    words[0].end = PlaceAfter(view, i);
    for (;;) {
        while (i < n && IsBlank(t[i]))
            ++i;
        if (i >= n)
            return words;
        ReadWord word;
        word.begin = view.places[i];
        inside = false;
        while (i < n && (inside || !IsBlank(t[i]))) {
            size_t slashes = 0;
            while (i + slashes < n && t[i + slashes] == '\\')
                ++slashes;
            if (i + slashes < n && t[i + slashes] == '"') {
                // 2n backslashes give n and a quote that groups; 2n + 1 give
                // n and a plain quote; "" inside quotes is a plain quote.
                for (size_t k = 0; k < slashes / 2; ++k)
                    Take(view, i + 2 * k, &word);
                i += slashes;
                if (slashes % 2 == 1) {
                    Take(view, i++, &word);
                } else if (inside && i + 1 < n && t[i + 1] == '"') {
                    Take(view, i + 1, &word);
                    i += 2;
                } else {
                    inside = !inside;
                    ++i;
                }
            } else if (slashes > 0) {
                for (size_t k = 0; k < slashes; ++k)
                    Take(view, i + k, &word);
                i += slashes;
            } else {
                Take(view, i++, &word);
            }
        }
        word.end = PlaceAfter(view, i);
        words.push_back(word);
    }
}

std::vector<ReadWord> SplitBatchParameters(const LineView& view) {
    const std::string& t = view.text;
    size_t n = t.size();
    auto delimiter = [](char c) { return c != '\0' && std::strchr(" \t,;=", c) != nullptr; };
    std::vector<ReadWord> words;
    size_t i = 0;
    for (;;) {
        while (i < n && delimiter(t[i]))
            ++i;
        if (i >= n)
            return words;
        ReadWord word;
        word.begin = view.places[i];
        bool inside = false;
        for (; i < n && (inside || !delimiter(t[i])); ++i) {
            if (t[i] == '"')
                inside = !inside;
            Take(view, i, &word);
        }
        word.end = PlaceAfter(view, i);
        words.push_back(word);
    }
}

std::string WithoutQuotes(const std::string& parameter) {
    std::string text = parameter;
    if (!text.empty() && text.front() == '"')
        text.erase(0, 1);
    if (!text.empty() && text.back() == '"')
        text.pop_back();
    return text;
}

CmdReading ReadByCmd(const std::string& line, bool afterSwitch) {
    CmdReading reading;
    LineView whole = WholeLine(line);
    size_t start = 0;
    bool stripAlways = false;
    if (afterSwitch) {
        size_t i = 0;
        bool inside = false;
        for (; i < line.size() && (inside || !IsBlank(line[i])); ++i)
            if (line[i] == '"')
                inside = !inside;
        for (;;) {
            while (i < line.size() && IsBlank(line[i]))
                ++i;
            if (i >= line.size() || line[i] != '/')
                return reading; // no command: cmd.exe would wait for one
            char c = i + 1 < line.size() ? static_cast<char>(std::tolower(line[i + 1])) : '\0';
            if (c == 'c' || c == 'k' || c == 'r') {
                for (i += 2; i < line.size() && IsBlank(line[i]);)
                    ++i;
                break;
            }
            stripAlways = stripAlways || c == 's';
            for (++i; i < line.size() && !IsBlank(line[i]) && line[i] != '/';)
                ++i;
        }
        start = i;
    }
    // A command that starts with a quote loses it and the last quote of the
    // line, unless (without /s) it holds just those two around a program's
    // name, which depends on the files there are.
    size_t first = std::string::npos;
    size_t last = std::string::npos;
    if (afterSwitch && start < line.size() && line[start] == '"') {
        size_t quotes = 0;
        for (size_t i = start; i < line.size(); ++i)
            quotes += line[i] == '"';
        reading.unsure = quotes == 2 && !stripAlways;
        first = start;
        last = line.rfind('"');
    }
    LineView view;
    for (size_t i = start; i < line.size(); ++i)
        if (i != first && i != last)
            Append(&view, whole, i);

    LineView command;
    bool inside = false;
    for (size_t k = 0; k < view.text.size(); ++k) {
        char c = view.text[k];
        if (c == '"')
            inside = !inside;
        if (inside || c == '"') {
            Append(&command, view, k);
            continue;
        }
        if (std::strchr("&|<>()^", c))
            reading.unquoted.push_back(view.places[k]);
        if (c == '^') {
            if (k + 1 < view.text.size())
                Append(&command, view, ++k);
        } else if (c == '&' || c == '|') {
            reading.commands.push_back(Trimmed(command));
            command = LineView();
            if (k + 1 < view.text.size() && view.text[k + 1] == c)
                reading.unquoted.push_back(view.places[++k]);
        } else {
            Append(&command, view, k);
        }
    }
    reading.commands.push_back(Trimmed(command));
    return reading;
}

bool IsBatchName(const std::string& program) {
    std::string name = Lower(program);
    return name.size() >= 4 && (name.compare(name.size() - 4, 4, ".bat") == 0 ||
                                name.compare(name.size() - 4, 4, ".cmd") == 0);
}

bool IsCmdName(const std::string& program) {
    std::string base = BaseName(program);
    return base == "cmd" || base == "cmd.exe";
}

std::string ProgramOfLine(const std::string& line, const std::vector<std::string>& programs) {
    if (!line.empty() && line[0] == '"') {
        size_t end = line.find('"', 1);
        return line.substr(1, end == std::string::npos ? std::string::npos : end - 1);
    }
    for (size_t i = 0; i <= line.size(); ++i) {
        if (i < line.size() && !IsBlank(line[i]))
            continue;
        std::string prefix = line.substr(0, i);
        if (IsCmdName(prefix))
            return prefix;
        for (const std::string& program : programs)
            if (Lower(program) == Lower(prefix) || Lower(program) == Lower(prefix + ".exe"))
                return prefix;
    }
    return line.substr(0, line.find_first_of(" \t"));
}

std::vector<Invocation> RunLine(const std::string& line, const std::vector<std::string>& programs) {
    std::string program = ProgramOfLine(line, programs);
    std::vector<Invocation> runs;
    if (!IsCmdName(program) && !IsBatchName(program)) {
        std::vector<ReadWord> words = SplitByCRuntime(WholeLine(line));
        Invocation run{program, {}};
        for (size_t k = 1; k < words.size(); ++k)
            run.arguments.push_back(words[k].text);
        runs.push_back(run);
        return runs;
    }
    for (const LineView& command : ReadByCmd(line, IsCmdName(program)).commands) {
        std::vector<ReadWord> words = SplitBatchParameters(command);
        if (words.empty())
            continue;
        Invocation run{WithoutQuotes(words[0].text), {}};
        if (IsBatchName(run.program)) {
            for (size_t k = 1; k < words.size(); ++k)
                run.arguments.push_back(WithoutQuotes(words[k].text));
        } else {
            std::vector<ReadWord> arguments = SplitByCRuntime(command);
            for (size_t k = 1; k < arguments.size(); ++k)
                run.arguments.push_back(arguments[k].text);
        }
        runs.push_back(run);
    }
    return runs;
}
