// A hash table of text keys with text values, for the keywords of a
// pretty-print definition, the case rule fixed at creation.
#pragma once

#include <cstddef>

struct KeywordTable;

// None when memory runs out.
KeywordTable* CreateKeywordTable(bool caseSensitive);
// -1 for no table or no memory, 0 when the key is already there (nothing
// changes), 1 when added. Both texts are copied.
int AddKeyword(KeywordTable* table, const char* key, const char* value);
// The key's value, or none.
const char* FindKeyword(const KeywordTable* table, const char* key);
// The same for a key given as `length` bytes that need not end with a zero.
const char* FindKeywordRun(const KeywordTable* table, const char* key, size_t length);
void DestroyKeywordTable(KeywordTable* table);
