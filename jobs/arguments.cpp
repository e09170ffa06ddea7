// Building the argument vector the way the C runtime of the original
// toolchain does, so that command lines written for the program (by users,
// file associations and launcher shortcuts) mean the same on every build.
#include "arguments.h"

#include "../common/bounded_text.h"
#include "../common/file_system.h"

#include <algorithm>
#include <cstring>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The program's name ends at the closing quote or at the first blank; the
// runtime gives backslashes no meaning there, so "C:\dir\" stays one path.
const char* SplitProgramName(const char* p, std::vector<Argument>* out) {
    Argument arg{std::string(), *p == '"'};
    if (*p == '"') {
        ++p;
        while (*p && *p != '"')
            arg.text += *p++;
        if (*p == '"')
            ++p;
    } else {
        while (*p && !IsBlank(*p))
            arg.text += *p++;
    }
    out->push_back(arg);
    return p;
}

// One argument by the rules for everything after the program's name.
const char* SplitOne(const char* p, Argument* arg) {
    arg->quoted = *p == '"';
    bool inQuote = false;
    while (*p && (inQuote || !IsBlank(*p))) {
        size_t slashes = 0;
        while (p[slashes] == '\\')
            ++slashes;
        if (p[slashes] == '"') {
            arg->text.append(slashes / 2, '\\');
            p += slashes;
            if (slashes % 2 == 1) {
                arg->text += '"';
            } else if (inQuote && p[1] == '"') {
                arg->text += '"';
                ++p;
            } else {
                inQuote = !inQuote;
            }
            ++p;
        } else if (slashes > 0) {
            arg->text.append(slashes, '\\');
            p += slashes;
        } else {
            arg->text += *p++;
        }
    }
    return p;
}

bool HasWildcard(const std::string& text) {
    return text.find_first_of("*?") != std::string::npos;
}

// The directory part as written: everything up to the last separator or the
// drive's colon.
std::string DirectoryPart(const std::string& pattern) {
    size_t end = pattern.find_last_of("\\/:");
    return end == std::string::npos ? std::string() : pattern.substr(0, end + 1);
}

bool LessNoCase(const std::string& a, const std::string& b) {
    int order = CompareNoCase(a.c_str(), b.c_str());
    return order != 0 ? order < 0 : a < b;
}

void AppendMatches(const std::string& pattern, std::vector<std::string>* out) {
    std::vector<std::string> names;
    FoundEntry entry;
    DirectorySearch* search = OpenDirectorySearch(pattern.c_str(), &entry);
    if (search) {
        do {
            if (std::strcmp(entry.name, ".") != 0 && std::strcmp(entry.name, "..") != 0)
                names.push_back(entry.name);
        } while (NextDirectoryEntry(search, &entry));
        CloseDirectorySearch(search);
    }
    if (names.empty()) {
        out->push_back(pattern);
        return;
    }
    std::sort(names.begin(), names.end(), LessNoCase);
    std::string dir = DirectoryPart(pattern);
    for (const std::string& name : names)
        out->push_back(dir + name);
}

} // namespace

std::vector<Argument> SplitCommandLine(const char* commandLine) {
    std::vector<Argument> arguments;
    const char* p = commandLine ? commandLine : "";
    while (IsBlank(*p))
        ++p;
    if (!*p)
        return arguments;
    p = SplitProgramName(p, &arguments);
    for (;;) {
        while (IsBlank(*p))
            ++p;
        if (!*p)
            break;
        Argument arg;
        p = SplitOne(p, &arg);
        arguments.push_back(arg);
    }
    return arguments;
}

std::vector<Argument> SplitProgramCommandLine(const char* ansiLine, const char* wholeLine) {
    // The splitting rules read only ASCII characters, which UTF-8 keeps as
    // they are, so the whole line splits into the same arguments, each a name
    // in its own characters.
    return SplitCommandLine(wholeLine && *wholeLine ? wholeLine : ansiLine);
}

std::vector<std::string> ExpandArguments(const std::vector<Argument>& arguments) {
    std::vector<std::string> expanded;
    for (const Argument& arg : arguments) {
        if (arg.quoted || !HasWildcard(arg.text))
            expanded.push_back(arg.text);
        else
            AppendMatches(arg.text, &expanded);
    }
    return expanded;
}
