// The pretty-print definitions file. Each "TYPE=" line opens a section; the
// keys after it fill that section until the next one. Lines that start with
// no key are free for comments.
#include "definitions.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "../common/bounded_text.h"
#include "../common/file_system.h"
#include "../common/messages.h"
#include "highlighting.h"

namespace {

enum { kDefinitionLine = 255 }; // 254 characters and the zero

PrettyPrintDefinition* definitionList = nullptr; // none until a file gave sections
PrettyPrintDefinition* currentDefinition = nullptr;

bool IsWordCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == '#' || c == '$';
}

bool StartsWith(const char* line, const char* key) {
    return strncmp(line, key, strlen(key)) == 0;
}

const char* ValueOf(const char* line) {
    const char* equals = strchr(line, '=');
    return equals ? equals + 1 : nullptr;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Collects the words of a "KEYWORDS" list, which may run over several lines
// and pieces of lines, into one table.
struct WordCollector {
    KeywordTable* table;
    char word[kDefinitionLine];
    size_t length;
    bool failed;
};

void FlushWord(WordCollector* words) {
    if (words->length == 0)
        return;
    words->word[words->length] = '\0';
    if (AddKeyword(words->table, words->word, "") < 0)
        words->failed = true;
    words->length = 0;
}

void CollectWords(WordCollector* words, const char* text) {
    for (; *text; ++text) {
        if (IsWordCharacter(*text)) {
            // A word longer than a line can only come from joined pieces; it
            // is cut rather than written past the buffer.
            if (words->length < sizeof words->word - 1)
                words->word[words->length++] = *text;
        } else {
            FlushWord(words);
        }
    }
}

// The line without its line end.
size_t ContentLength(const char* line) {
    size_t length = strlen(line);
    while (length > 0 && (line[length - 1] == '\n' || line[length - 1] == '\r'))
        --length;
    return length;
}

bool HasLineEnd(const char* line) {
    size_t length = strlen(line);
    return length > 0 && line[length - 1] == '\n';
}

// True when the list goes on in the next piece: the line ends in a
// backslash, or it was longer than one piece.
bool ContinuesList(const char* line, FILE* file) {
    if (!HasLineEnd(line))
        return !feof(file);
    size_t length = ContentLength(line);
    return length > 0 && line[length - 1] == '\\';
}

bool ReadKeywords(PrettyPrintDefinition* definition, char* line, bool caseSensitive, FILE* file) {
    DestroyKeywordTable(definition->keywords);
    definition->keywords = CreateKeywordTable(caseSensitive);
    if (!definition->keywords)
        return false;
    const char* value = ValueOf(line);
    if (!value)
        return true;
    WordCollector words = {definition->keywords, {0}, 0, false};
    CollectWords(&words, value);
    while (ContinuesList(line, file) && fgets(line, kDefinitionLine, file))
        CollectWords(&words, line);
    FlushWord(&words);
    return !words.failed;
}

void ReadStyle(const char* line, int* bold, int* italic, int* underline) {
    *bold = strstr(line, "bold") != nullptr;
    *italic = strstr(line, "italic") != nullptr;
    *underline = strstr(line, "underline") != nullptr;
}

void ReadColour(const char* line, unsigned long* colour) {
    const char* value = ValueOf(line);
    int red, green, blue;
    if (value && sscanf(value, "%d,%d,%d", &red, &green, &blue) == 3)
        *colour = (red & 255) + 256ul * (green & 255) + 65536ul * (blue & 255);
}

// false when memory ran out.
bool ReadMarker(const char* line, char** marker) {
    free(*marker);
    *marker = nullptr;
    const char* value = ValueOf(line);
    if (!value)
        return true;
    while (IsBlank(*value))
        ++value;
    size_t length = strlen(value);
    while (length > 0 && IsBlank(value[length - 1]))
        --length;
    *marker = static_cast<char*>(malloc(length + 1));
    if (!*marker)
        return false;
    memcpy(*marker, value, length);
    (*marker)[length] = '\0';
    return true;
}

// The rest of a line that the buffer cut, joined to its first piece; none
// when memory ran out. A "TYPE" list read in pieces would lose the character
// at each cut to the terminator and drop the entries after it.
char* ReadWholeLine(const char* piece, FILE* file) {
    size_t length = strlen(piece);
    char* whole = static_cast<char*>(malloc(length + 1));
    if (!whole)
        return nullptr;
    memcpy(whole, piece, length + 1);
    char chunk[kDefinitionLine];
    bool ended = HasLineEnd(whole);
    while (!ended && fgets(chunk, sizeof chunk, file)) {
        size_t more = strlen(chunk);
        char* grown = static_cast<char*>(realloc(whole, length + more + 1));
        if (!grown) {
            free(whole);
            return nullptr;
        }
        whole = grown;
        memcpy(whole + length, chunk, more + 1);
        length += more;
        ended = HasLineEnd(chunk);
    }
    return whole;
}

// Opens a section for a whole "TYPE" line. False only when memory ran out;
// *definition stays none when the line names no list.
bool OpenSection(char* line, PrettyPrintDefinition** definition) {
    *definition = nullptr;
    // The line end becomes the closing "|" of the last entry. The last line
    // of a file without one gives up its last character instead, which may
    // be the "=" itself: then the line is no section line at all.
    size_t length = strlen(line);
    if (length > 0)
        line[length - 1] = '|';
    const char* value = ValueOf(line);
    if (!value)
        return true;
    while (*value == ' ')
        ++value;
    PrettyPrintDefinition* opened =
        static_cast<PrettyPrintDefinition*>(calloc(1, sizeof(PrettyPrintDefinition)));
    if (!opened)
        return false;
    opened->typeList = static_cast<char*>(malloc(strlen(value) + 1));
    if (!opened->typeList) {
        free(opened);
        return false;
    }
    char* out = opened->typeList;
    for (; *value; ++value)
        *out++ = static_cast<char>(toupper(static_cast<unsigned char>(*value)));
    *out = '\0';
    *definition = opened;
    return true;
}

bool ReadKey(PrettyPrintDefinition* definition, char* line, bool* caseSensitive, FILE* file) {
    if (StartsWith(line, "KEYWORD-CASE"))
        *caseSensitive = strstr(line, "no") == nullptr;
    else if (StartsWith(line, "COL-ON-BW"))
        definition->colourOnMonochrome = strstr(line, "yes") != nullptr;
    else if (StartsWith(line, "KEYWORDS"))
        return ReadKeywords(definition, line, *caseSensitive, file);
    else if (StartsWith(line, "KEYWORD-STYLE"))
        ReadStyle(line, &definition->keywordBold, &definition->keywordItalic,
                  &definition->keywordUnderline);
    else if (StartsWith(line, "KEYWORD-COL"))
        ReadColour(line, &definition->keywordColour);
    else if (StartsWith(line, "COMMENT-STYLE"))
        ReadStyle(line, &definition->commentBold, &definition->commentItalic,
                  &definition->commentUnderline);
    else if (StartsWith(line, "COMMENT-COL"))
        ReadColour(line, &definition->commentColour);
    else if (StartsWith(line, "COMMENT-START"))
        return ReadMarker(line, &definition->commentStart);
    else if (StartsWith(line, "COMMENT-END"))
        return ReadMarker(line, &definition->commentEnd);
    else if (StartsWith(line, "COMMENT-SINGLE"))
        return ReadMarker(line, &definition->commentSingle);
    else if (StartsWith(line, "TAB-WIDTH")) {
        const char* value = ValueOf(line);
        int width;
        if (value && sscanf(value, "%d", &width) == 1)
            definition->tabWidth = width;
    }
    return true;
}

// Entries match whole, so ".BC|" is not found inside ".ABC|". Blanks and a
// "*" before an entry are passed over, so that a list written "*.c| *.h"
// names the same extensions as ".c|.h". `entry` carries its closing "|".
bool ListsEntry(const char* typeList, const char* entry) {
    size_t length = strlen(entry);
    for (const char* p = typeList; p; p = strchr(p, '|')) {
        if (*p == '|')
            ++p;
        while (*p == ' ' || *p == '*')
            ++p;
        if (strncmp(p, entry, length) == 0)
            return true;
    }
    return false;
}

void FreeDefinitionFonts(PrettyPrintDefinition* definition) {
    DeleteTextFont(definition->keywordFont);
    DeleteTextFont(definition->commentFont);
    definition->keywordFont = nullptr;
    definition->commentFont = nullptr;
}

} // namespace

PrettyPrintDefinition* ReadDefinitions(FILE* file) {
    PrettyPrintDefinition* list = nullptr;
    PrettyPrintDefinition** tail = &list;
    PrettyPrintDefinition* section = nullptr;
    bool caseSensitive = true;
    char line[kDefinitionLine];
    while (fgets(line, sizeof line, file)) {
        bool ok = true;
        if (StartsWith(line, "TYPE")) {
            char* whole = ReadWholeLine(line, file);
            PrettyPrintDefinition* opened = nullptr;
            ok = whole && OpenSection(whole, &opened);
            free(whole);
            if (opened) {
                section = opened;
                *tail = section;
                tail = &section->next;
                caseSensitive = true;
            }
        } else if (section) {
            ok = ReadKey(section, line, &caseSensitive, file);
        }
        if (!ok) {
            FreeDefinitionList(list);
            return nullptr;
        }
    }
    return list;
}

void FreeDefinitionList(PrettyPrintDefinition* list) {
    while (list) {
        PrettyPrintDefinition* next = list->next;
        FreeDefinitionFonts(list);
        DestroyKeywordTable(list->keywords);
        free(list->typeList);
        free(list->commentStart);
        free(list->commentEnd);
        free(list->commentSingle);
        free(list);
        list = next;
    }
}

PrettyPrintDefinition* FindDefinitionIn(PrettyPrintDefinition* list, const char* fileName) {
    if (!fileName)
        return nullptr;
    const char* name = fileName;
    for (const char* p = fileName; *p; ++p)
        if (*p == '\\' || *p == '/' || *p == ':')
            name = p + 1;
    const char* dot = strrchr(name, '.');
    if (!dot)
        return nullptr;
    char extension[kPathSize + 1];
    if (!CopyText(extension, sizeof extension - 1, dot))
        return nullptr;
    for (char* p = extension; *p; ++p)
        *p = static_cast<char>(toupper(static_cast<unsigned char>(*p)));
    AppendText(extension, sizeof extension, "|");
    for (PrettyPrintDefinition* definition = list; definition; definition = definition->next)
        if (ListsEntry(definition->typeList, extension))
            return definition;
    return nullptr;
}

// A file without sections, or one that could not be read whole, leaves the
// list absent, so the next lookup tries again.
static void LoadDefinitions() {
    FreeDefinitionList(definitionList);
    definitionList = nullptr;
    const char* path = DefinitionsPath();
    FILE* file = OpenStream(path, "r");
    if (!file) {
        ShowMessage(kTextDefinitionsOpenFailed, path, errno, kMessageError);
        return;
    }
    PrettyPrintDefinition* list = ReadDefinitions(file);
    if (ferror(file)) {
        int error = errno;
        FreeDefinitionList(list);
        list = nullptr;
        ShowMessage(kTextDefinitionsOpenFailed, path, error, kMessageError);
    }
    fclose(file);
    definitionList = list;
}

bool FindDefinition(const char* fileName) {
    currentDefinition = nullptr;
    if (!definitionList)
        LoadDefinitions();
    ResetHighlightState();
    currentDefinition = FindDefinitionIn(definitionList, fileName);
    return currentDefinition != nullptr;
}

PrettyPrintDefinition* CurrentDefinition() {
    return currentDefinition;
}

void FreeDefinitions() {
    EndHighlighting();
    FreeDefinitionList(definitionList);
    definitionList = nullptr;
    currentDefinition = nullptr;
}
