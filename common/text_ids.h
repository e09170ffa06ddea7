// Ids of the program's numbered texts (the string table). The words live in
// resources/string_table.inc; this enum only names the numbers.
#pragma once

enum TextId {
#define RVL_TEXT(id, name, text) kText##name = id,
#include "../resources/string_table.inc"
#undef RVL_TEXT
};
