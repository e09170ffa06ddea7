#include "keyword_table.h"

#include <cstdlib>
#include <cstring>

// The highlighter looks up every word of a text file, most of them no
// keyword. A word is first checked against the lengths of the keywords that
// begin with its first byte, which turns many of them away with one load.
// The chain of a key comes from its length and its first and last bytes,
// which takes no pass over the key and spreads the keywords of the shipped
// definitions over chains of at most four; a key is compared only when its
// length matches. Keys are kept folded, so that a comparison folds only the
// word's bytes, through a table rather than a test of the case rule.
enum { kBuckets = 256 };
const size_t kLongKey = 31;

struct KeywordEntry {
    char* key; // folded
    size_t length;
    char* value;
    KeywordEntry* next;
};

struct KeywordTable {
    // The byte a key's byte counts as: itself, or for a table that ignores
    // case, a to z as A to Z (the "C" locale's toupper, which the program
    // leaves in force).
    unsigned char fold[256];
    // For each folded first byte, bit n set when a keyword of n bytes begins
    // with it; bit kLongKey stands for every longer one too. The empty key
    // is kept under byte 0.
    unsigned lengthsByFirst[256];
    KeywordEntry* buckets[kBuckets];
};

static unsigned char Folded(const KeywordTable* table, char c) {
    return table->fold[static_cast<unsigned char>(c)];
}

static unsigned Bucket(const KeywordTable* table, const char* key, size_t length) {
    if (length == 0)
        return 0;
    unsigned first = Folded(table, key[0]);
    unsigned last = Folded(table, key[length - 1]);
    return (first * 7 + last * 31 + static_cast<unsigned>(length) * 131) % kBuckets;
}

static unsigned LengthBit(size_t length) {
    return 1u << (length < kLongKey ? length : kLongKey);
}

static unsigned FirstOf(const KeywordTable* table, const char* key, size_t length) {
    return length ? Folded(table, key[0]) : 0;
}

static bool MayBeKey(const KeywordTable* table, const char* key, size_t length) {
    return table->lengthsByFirst[FirstOf(table, key, length)] & LengthBit(length);
}

static void NoteKeyLength(KeywordTable* table, const char* key, size_t length) {
    table->lengthsByFirst[FirstOf(table, key, length)] |= LengthBit(length);
}

// Keywords are short: a loop here is quicker than a call to memcmp.
static bool SameKey(const KeywordTable* table, const KeywordEntry* entry, const char* key,
                    size_t length) {
    if (entry->length != length)
        return false;
    const char* stored = entry->key;
    for (size_t i = 0; i < length; ++i)
        if (static_cast<unsigned char>(stored[i]) != Folded(table, key[i]))
            return false;
    return true;
}

static KeywordEntry* Lookup(const KeywordTable* table, const char* key, size_t length) {
    if (!MayBeKey(table, key, length))
        return nullptr;
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
    if (!table)
        return nullptr;
    for (int c = 0; c < 256; ++c) {
        bool lower = c >= 'a' && c <= 'z';
        table->fold[c] = static_cast<unsigned char>(!caseSensitive && lower ? c - 'a' + 'A' : c);
    }
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
    if (keyCopy)
        for (size_t i = 0; i < length; ++i)
            keyCopy[i] = static_cast<char>(Folded(table, keyCopy[i]));
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
    NoteKeyLength(table, key, length);
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
