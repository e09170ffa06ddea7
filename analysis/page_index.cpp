// The one page index of the program.
#include "page_index.h"

#include <cstdlib>

PageIndexTable PageIndex = {nullptr, 0, -1, -1};

bool AllocatePageIndex(long count) {
    FreePageIndex();
    if (count <= 0)
        return true;
    PageIndex.entries =
        static_cast<PageEntry*>(std::calloc(static_cast<size_t>(count), sizeof(PageEntry)));
    if (!PageIndex.entries)
        return false;
    PageIndex.capacity = count;
    return true;
}

bool NextSelectedPage(long long* offset, long long* length) {
    // Entries past the allocation are never read, whatever lastIndex says.
    long last =
        PageIndex.lastIndex < PageIndex.capacity ? PageIndex.lastIndex : PageIndex.capacity - 1;
    while (PageIndex.entries && PageIndex.cursor < last) {
        const PageEntry& entry = PageIndex.entries[++PageIndex.cursor];
        if (entry.selected == 1) {
            *offset = entry.start;
            *length = entry.end - entry.start;
            return true;
        }
    }
    *length = 0;
    PageIndex.cursor = -1;
    return false;
}

void FreePageIndex() {
    std::free(PageIndex.entries);
    PageIndex.entries = nullptr;
    PageIndex.capacity = 0;
    PageIndex.lastIndex = -1;
    PageIndex.cursor = -1;
}
