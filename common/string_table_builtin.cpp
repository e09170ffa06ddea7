// The native build has no resources; the same texts are compiled in.
#include "string_table.h"

#include "bounded_text.h"

#include <cstring>

namespace {
struct TableEntry {
    int id;
    const char* text;
};

const TableEntry kTable[] = {
#define RVL_TEXT(id, name, text) {id, text},
#include "resources/string_table.inc"
#undef RVL_TEXT
};
} // namespace

int ReadStringTable(int id, char* buf, size_t size) {
    for (const TableEntry& entry : kTable) {
        if (entry.id == id) {
            CopyText(buf, size, entry.text);
            return size > 0 ? static_cast<int>(strlen(buf)) : 0;
        }
    }
    if (size > 0)
        buf[0] = '\0';
    return 0;
}
