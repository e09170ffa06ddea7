// The page locations of a structured PostScript file: filled by page
// selection, walked by composition.
#pragma once

struct PageEntry {
    long selected;   // 1 or 0
    long long start; // offset of the page's "%%Page:" line
    long long end;   // offset of the next page's line, or the end of the file
};

struct PageIndexTable {
    PageEntry* entries; // capacity entries, page number minus 1
    long capacity;
    long lastIndex; // last entry filled, -1 when none
    long cursor;    // walk position, -1 before the first page
};

extern PageIndexTable PageIndex;

// Releases the previous index and makes room for `count` pages, none filled.
bool AllocatePageIndex(long count);
// The next selected page's range; false (length 0) after the last one, when
// the walk starts again from the first page.
bool NextSelectedPage(long long* offset, long long* length);
void FreePageIndex();
