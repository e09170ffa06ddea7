// The settings file on systems without the private-profile functions. It
// keeps their file format and their answers, so that a file moves between the
// two without change: sections and keys in order of first insertion, names
// compared without regard to case, blanks round names and values dropped, one
// pair of quotes round a value dropped on reading, and the whole file
// rewritten with CR LF line ends on every change.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "../common/bounded_text.h"
#include "../common/file_system.h"
#include "profile.h"

namespace {

// One line of a section. A line without "=" keeps its text as the name and
// has no value; such lines and comments are kept but never listed.
struct IniLine {
    std::string name;
    std::string value;
    bool hasValue;
};

struct IniSection {
    std::string name;
    std::vector<IniLine> lines;
};

// The lines before the first section header belong to a section without a
// name, which is the first of the list.
struct IniFile {
    std::vector<IniSection> sections;
    bool utf8Mark = false;
};

// Blanks as the private-profile functions see them, the DOS end-of-file
// character among them.
bool IsBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r') || c == '\x1a';
}

// Names match without regard to the case of ASCII letters only; other bytes
// must be equal, as the platform's functions compare them here.
unsigned char FoldCase(unsigned char c) {
    return c >= 'a' && c <= 'z' ? c - ('a' - 'A') : c;
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); i++)
        if (FoldCase((unsigned char)a[i]) != FoldCase((unsigned char)b[i]))
            return false;
    return true;
}

std::string Trimmed(const char* text) {
    const char* end = text + strlen(text);
    while (text < end && IsBlank(*text))
        text++;
    while (end > text && IsBlank(end[-1]))
        end--;
    return std::string(text, end);
}

// A bare file name lives in the Windows directory, as on Windows.
bool ResolveFileName(const char* file, std::string* path) {
    if (!strchr(file, '\\') && !strchr(file, '/')) {
        char directory[kPathSize];
        if (!WindowsDirectory(directory, sizeof directory))
            return false;
        *path = directory;
        if (!path->empty() && path->back() != '/' && path->back() != '\\')
            *path += '/';
        *path += file;
    } else {
        *path = file;
    }
    return true;
}

void ParseLine(const char* start, const char* end, IniFile* ini) {
    while (start < end && IsBlank(*start))
        start++;
    while (end > start && IsBlank(end[-1]))
        end--;
    if (start == end)
        return;
    if (*start == '[') {
        // The name runs to the last "]" of the line, without blanks round it;
        // a line without "]" is an ordinary line.
        const char* close = end - 1;
        while (close > start && *close != ']')
            close--;
        if (close > start) {
            const char* name = start + 1;
            while (name < close && IsBlank(*name))
                name++;
            while (close > name && IsBlank(close[-1]))
                close--;
            ini->sections.push_back(IniSection{std::string(name, close), {}});
            return;
        }
    }
    IniLine line{std::string(), std::string(), false};
    const char* equals = static_cast<const char*>(memchr(start, '=', end - start));
    const char* nameEnd = equals ? equals : end;
    while (nameEnd > start && IsBlank(nameEnd[-1]))
        nameEnd--;
    line.name.assign(start, nameEnd);
    if (equals) {
        const char* value = equals + 1;
        while (value < end && IsBlank(*value))
            value++;
        line.value.assign(value, end);
        line.hasValue = true;
    }
    // Of lines without a name in a row, such as "=value", only the first counts.
    std::vector<IniLine>& lines = ini->sections.back().lines;
    if (line.name.empty() && !lines.empty() && lines.back().name.empty())
        return;
    lines.push_back(line);
}

// The last file read, kept parsed: a set is read one key at a time. The
// bytes are read again each time and compared, so a change by any other
// means is seen at once.
struct IniCache {
    std::string path;
    std::string bytes;
    IniFile ini;
};
IniCache cache;

void Parse(const std::string& text, IniFile* ini) {
    ini->sections.assign(1, IniSection{std::string(), {}});
    ini->utf8Mark = false;
    size_t position = 0;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        ini->utf8Mark = true;
        position = 3;
    }
    while (position < text.size()) {
        size_t end = text.find_first_of("\r\n", position);
        if (end == std::string::npos)
            end = text.size();
        ParseLine(text.data() + position, text.data() + end, ini);
        position = text.find_first_not_of("\r\n", end);
        if (position == std::string::npos)
            break;
    }
}

// The file at `path`, parsed; a missing file reads as empty. None when the
// file exists but cannot be read.
IniFile* OpenIni(const std::string& path) {
    std::string text;
    FILE* stream = OpenStream(path.c_str(), "rb");
    if (stream) {
        char chunk[4096];
        size_t count;
        while ((count = fread(chunk, 1, sizeof chunk, stream)) > 0)
            text.append(chunk, count);
        bool failed = ferror(stream) != 0;
        fclose(stream);
        if (failed)
            return nullptr;
    } else if (errno != ENOENT) {
        return nullptr;
    }
    if (cache.path != path || cache.bytes != text || cache.ini.sections.empty()) {
        cache.path = path;
        cache.bytes = text;
        Parse(text, &cache.ini);
    }
    return &cache.ini;
}

std::string Serialized(const IniFile& ini) {
    std::string text;
    if (ini.utf8Mark)
        text = "\xEF\xBB\xBF";
    for (const IniSection& section : ini.sections) {
        if (!section.name.empty())
            text += "[" + section.name + "]\r\n";
        for (const IniLine& line : section.lines) {
            text += line.name;
            if (line.hasValue)
                text += "=" + line.value;
            text += "\r\n";
        }
    }
    return text;
}

// Writes the cached file back; on failure the cache is dropped so that the
// next read sees what is really on disk.
bool SaveIni(const std::string& path) {
    std::string text = Serialized(cache.ini);
    FILE* stream = OpenStream(path.c_str(), "wb");
    bool written = stream && fwrite(text.data(), 1, text.size(), stream) == text.size();
    if (stream && fclose(stream) != 0)
        written = false;
    // What was written is read back as any later reader will see it: blanks
    // at the ends of new names and values go, and a line end inside a value
    // starts a new line.
    if (written) {
        cache.bytes = text;
        Parse(text, &cache.ini);
    } else {
        cache.path.clear();
    }
    return written;
}

const char* SkipBlanks(const char* text) {
    while (IsBlank(*text))
        text++;
    return text;
}

// Lookups ignore blanks round the names asked for, and search the first
// section of a name only.
IniSection* FindSection(IniFile* ini, const char* name) {
    std::string wanted = Trimmed(name);
    for (IniSection& section : ini->sections)
        if (SameName(section.name, wanted))
            return &section;
    return nullptr;
}

IniLine* FindKey(IniFile* ini, const char* section, const char* key) {
    IniSection* found = FindSection(ini, section);
    if (!found)
        return nullptr;
    std::string wanted = Trimmed(key);
    for (IniLine& line : found->lines)
        if (SameName(line.name, wanted))
            return &line;
    return nullptr;
}

// Deletions compare the names as given.
bool DeleteSection(IniFile* ini, const char* name) {
    for (size_t i = 0; i < ini->sections.size(); i++) {
        if (SameName(ini->sections[i].name, name)) {
            ini->sections.erase(ini->sections.begin() + i);
            return true;
        }
    }
    return false;
}

bool DeleteKey(IniFile* ini, const char* section, const char* key) {
    for (IniSection& candidate : ini->sections) {
        if (!SameName(candidate.name, section))
            continue;
        for (size_t i = 0; i < candidate.lines.size(); i++) {
            if (SameName(candidate.lines[i].name, key)) {
                candidate.lines.erase(candidate.lines.begin() + i);
                return true;
            }
        }
    }
    return false;
}

// New sections and keys go at the end, named as given less leading blanks.
bool SetValue(IniFile* ini, const char* section, const char* key, const char* value) {
    IniSection* found = FindSection(ini, section);
    if (!found) {
        ini->sections.push_back(IniSection{SkipBlanks(section), {}});
        found = &ini->sections.back();
    }
    value = SkipBlanks(value);
    IniLine* line = FindKey(ini, section, key);
    if (!line) {
        found->lines.push_back(IniLine{SkipBlanks(key), value, true});
        return true;
    }
    if (line->hasValue && line->value == value)
        return false;
    line->value = value;
    line->hasValue = true;
    return true;
}

// The value as the platform hands it out: one pair of matching quotes round
// it dropped, then cut to the buffer. When the buffer is exactly as long as
// the value without its opening quote, the platform drops one character more;
// so does this, so that both builds read a file alike.
int CopyValue(const char* value, char* buf, int size) {
    bool quoted = false;
    if ((value[0] == '"' || value[0] == '\'') && value[1] && value[strlen(value) - 1] == value[0]) {
        quoted = true;
        value++;
    }
    size_t length = strlen(value);
    size_t copied = length < (size_t)(size - 1) ? length : (size_t)(size - 1);
    memcpy(buf, value, copied);
    buf[copied] = '\0';
    if (quoted && (size_t)size >= length && copied > 0)
        buf[--copied] = '\0';
    return (int)copied;
}

// A default loses its trailing spaces (not other blanks), but never its first
// character.
std::string DefaultText(const char* text) {
    if (!text || !*text)
        return std::string();
    size_t length = strlen(text);
    while (length > 1 && text[length - 1] == ' ')
        length--;
    return std::string(text, length);
}

// Key names, each with its NUL, and a final NUL. When they do not all fit,
// the last one is cut, or the names stop two bytes before the end, and the
// result is size - 2.
int CopyKeyNames(const IniSection& section, char* buf, int size) {
    int room = size;
    char* out = buf;
    for (const IniLine& line : section.lines) {
        if (room <= 2)
            break;
        if (!line.hasValue || line.name[0] == ';')
            continue;
        size_t length = strlen(line.name.c_str());
        if (length > (size_t)(room - 2))
            length = room - 2;
        memcpy(out, line.name.data(), length);
        out[length] = '\0';
        room -= (int)length + 1;
        out += length + 1;
        if (room < 2)
            break;
    }
    *out = '\0';
    if (room <= 1) {
        out[-1] = '\0';
        return size - 2;
    }
    return size - room;
}

} // namespace

int ReadProfileValue(const char* section, const char* key, const char* defaultValue, char* buf,
                     int size, const char* file) {
    if (!buf || size <= 0)
        return 0;
    std::string fallback = DefaultText(defaultValue);
    std::string path;
    IniFile* ini = ResolveFileName(file, &path) ? OpenIni(path) : nullptr;
    if (!ini) {
        // A file that exists but cannot be read gives the default as it is.
        CopyText(buf, size, fallback.c_str());
        return (int)strlen(buf);
    }
    if (!section) {
        buf[0] = '\0';
        return 0;
    }
    if (key) {
        IniLine* line = FindKey(ini, section, key);
        return CopyValue(line && line->hasValue ? line->value.c_str() : fallback.c_str(), buf,
                         size);
    }
    int length = 0;
    buf[0] = '\0';
    if (size >= 2) {
        buf[1] = '\0';
        for (const IniSection& candidate : ini->sections) {
            if (SameName(candidate.name, section)) {
                length = CopyKeyNames(candidate, buf, size);
                break;
            }
        }
    }
    if (!buf[0])
        length = CopyValue(fallback.c_str(), buf, size);
    return length;
}

bool WriteProfileValue(const char* section, const char* key, const char* value, const char* file) {
    std::string path;
    IniFile* ini = section && ResolveFileName(file, &path) ? OpenIni(path) : nullptr;
    if (!ini)
        return false;
    bool changed;
    if (!key)
        changed = DeleteSection(ini, section);
    else if (!value)
        changed = DeleteKey(ini, section, key);
    else
        changed = SetValue(ini, section, key, value);
    return !changed || SaveIni(path);
}

int ReadSystemProfileInt(const char* section, const char* key, int defaultValue) {
    char value[32];
    if (ReadProfileValue(section, key, "", value, sizeof value, "win.ini") == 0)
        return defaultValue;
    return (int)strtol(value, nullptr, 10);
}
