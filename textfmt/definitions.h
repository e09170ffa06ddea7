// The pretty-print definitions file: where it is, its sections as records, and
// the lookup of the section for a file to print.
#pragma once

#include <cstdio>

#include "keyword_table.h"
#include "text_device.h"

struct PrettyPrintDefinition {
    char* typeList;         // ".C|.H|": upper case, each entry closed by "|"
    KeywordTable* keywords; // none: no word is a keyword
    int keywordBold, keywordItalic, keywordUnderline;
    FontRef keywordFont;         // made per job by the highlighter
    unsigned long keywordColour; // red + 256 green + 65536 blue
    char* commentStart;          // none, or a marker (possibly empty)
    char* commentEnd;
    char* commentSingle;
    int commentBold, commentItalic, commentUnderline;
    FontRef commentFont;
    unsigned long commentColour;
    int colourOnMonochrome;
    int tabWidth; // 0: the settings' tab width
    PrettyPrintDefinition* next;
};

// Nothing or an empty name selects "pp.txt" beside the program.
void SetDefinitionsPath(const char* path);
const char* DefinitionsPath();
// Loads the file when it is not loaded yet (reporting a file that cannot be
// opened, at every try) and makes the section for `fileName`'s extension
// current. Also puts the highlighter back to normal text.
bool FindDefinition(const char* fileName);
// The section found by the last lookup, or none.
PrettyPrintDefinition* CurrentDefinition();
// Releases the loaded sections and their fonts.
void FreeDefinitions();

// Reads every section of an open definitions file; none for an empty list or
// when memory ran out (what was read is then dropped).
PrettyPrintDefinition* ReadDefinitions(FILE* file);
void FreeDefinitionList(PrettyPrintDefinition* list);
// The first section of `list` whose types name the extension of `fileName`.
PrettyPrintDefinition* FindDefinitionIn(PrettyPrintDefinition* list, const char* fileName);
