#include "keyword_table.h"

#include <cstdlib>
#include <cstring>

// The highlighter looks up every word of a text file, most of them no
// keyword. The chain of a key comes from its length and its first and last
// bytes, which takes no pass over the key and spreads the keywords of the
// shipped definitions over chains of at most four; a key is compared only
// when its length matches.
enum { kBuckets = 256 };

struct KeywordEntry {
    char* key;
    size_t length;
    char* value;
    KeywordEntry* next;
};

struct KeywordTable {
    bool caseSensitive;
    KeywordEntry* buckets[kBuckets];
};

// The program leaves the C library in its "C" locale, where toupper changes
// only a to z: so does this, without a library call for every byte looked up.
static unsigned char Folded(const KeywordTable* table, char c) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (table->caseSensitive || byte < 'a' || byte > 'z')
        return byte;
    return static_cast<unsigned char>(byte - 'a' + 'A');
}

static unsigned Bucket(const KeywordTable* table, const char* key, size_t length) {
    if (length == 0)
        return 0;
    unsigned first = Folded(table, key[0]);
    unsigned last = Folded(table, key[length - 1]);
    return (first * 7 + last * 31 + static_cast<unsigned>(length) * 131) % kBuckets;
}

static bool SameKey(const KeywordTable* table, const KeywordEntry* entry, const char* key,
                    size_t length) {
    if (entry->length != length)
        return false;
    if (table->caseSensitive)
        return memcmp(entry->key, key, length) == 0;
    for (size_t i = 0; i < length; ++i)
        if (Folded(table, entry->key[i]) != Folded(table, key[i]))
            return false;
    return true;
}

static KeywordEntry* Lookup(const KeywordTable* table, const char* key, size_t length) {
    for (KeywordEntry* entry = table->buckets[Bucket(table, key, length)]; entry;
         entry = entry->next)
        if (SameKey(table, entry, key, length))
            return entry;
    return nullptr;
}

static char* Duplicate(const char* text, size_t length) {
    char* copy = static_cast<char*>(malloc(length + 1));
    if (copy) {
        memcpy(copy, text, length);
        copy[length] = '\0';
    }
    return copy;
}

KeywordTable* CreateKeywordTable(bool caseSensitive) {
    KeywordTable* table = static_cast<KeywordTable*>(calloc(1, sizeof(KeywordTable)));
    if (table)
        table->caseSensitive = caseSensitive;
    return table;
}

int AddKeyword(KeywordTable* table, const char* key, const char* value) {
    if (!table || !key)
        return -1;
    size_t length = strlen(key);
    if (Lookup(table, key, length))
        return 0;
    if (!value)
        value = "";
    KeywordEntry* entry = static_cast<KeywordEntry*>(malloc(sizeof(KeywordEntry)));
    char* keyCopy = Duplicate(key, length);
    char* valueCopy = Duplicate(value, strlen(value));
    if (!entry || !keyCopy || !valueCopy) {
        free(entry);
        free(keyCopy);
        free(valueCopy);
        return -1;
    }
    unsigned bucket = Bucket(table, key, length);
    entry->key = keyCopy;
    entry->length = length;
    entry->value = valueCopy;
    entry->next = table->buckets[bucket];
    table->buckets[bucket] = entry;
    return 1;
}

const char* FindKeywordRun(const KeywordTable* table, const char* key, size_t length) {
    if (!table || !key)
        return nullptr;
    const KeywordEntry* entry = Lookup(table, key, length);
    return entry ? entry->value : nullptr;
}

const char* FindKeyword(const KeywordTable* table, const char* key) {
    return key ? FindKeywordRun(table, key, strlen(key)) : nullptr;
}

void DestroyKeywordTable(KeywordTable* table) {
    if (!table)
        return;
    for (KeywordEntry* head : table->buckets) {
        while (head) {
            KeywordEntry* next = head->next;
            free(head->key);
            free(head->value);
            free(head);
            head = next;
        }
    }
    free(table);
}
