// The page index of a page selection.
#include "page_selection.h"

#include "page_index.h"
#include "../common/file_system.h"
#include "../common/line_reader.h"

#include <cstring>

namespace {

const char kPageComment[] = "%%Page:";

// The label as listed: the text after the colon, without the line end.
std::string PageLabel(const char* line) {
    std::string label(std::strchr(line, ':') + 1);
    if (!label.empty() && label.back() == '\n')
        label.pop_back();
    if (!label.empty() && label.back() == '\r')
        label.pop_back();
    return label;
}

void RecordPage(long long start, int fromPage, int toPage, const char* line,
                std::vector<std::string>* labels) {
    if (PageIndex.lastIndex >= 0)
        PageIndex.entries[PageIndex.lastIndex].end = start;
    PageEntry& entry = PageIndex.entries[++PageIndex.lastIndex];
    long page = PageIndex.lastIndex + 1;
    entry.start = start;
    entry.selected = page >= fromPage && page <= toPage ? 1 : 0;
    if (entry.selected)
        labels->push_back(PageLabel(line));
}

} // namespace

bool BuildPageIndex(FILE* stream, int fromPage, int toPage, int maxPage,
                    std::vector<std::string>* labels) {
    if (maxPage < 1 || !AllocatePageIndex(maxPage))
        return false;
    if (!SeekStream(stream, 0, SEEK_SET))
        return false;
    char line[256];
    for (;;) {
        // Taken before the read: a NUL byte inside the line would make its
        // measured length, and so its start, wrong.
        long long start = StreamPosition(stream);
        if (!ReadLine(line, stream))
            break;
        if (std::strncmp(line, kPageComment, sizeof kPageComment - 1) == 0 &&
            PageIndex.lastIndex < maxPage - 1)
            RecordPage(start, fromPage, toPage, line, labels);
    }
    if (PageIndex.lastIndex >= 0)
        PageIndex.entries[PageIndex.lastIndex].end = StreamPosition(stream);
    return true;
}

void StorePageSelection(int fromPage, const std::vector<bool>& chosen) {
    for (long i = 0; i <= PageIndex.lastIndex; ++i)
        PageIndex.entries[i].selected = 0;
    for (size_t item = 0; item < chosen.size(); ++item) {
        long index = fromPage - 1 + static_cast<long>(item);
        if (index >= 0 && index <= PageIndex.lastIndex)
            PageIndex.entries[index].selected = chosen[item] ? 1 : 0;
    }
    PageIndex.cursor = -1;
}

std::vector<bool> AlternateItems(size_t count, bool even) {
    std::vector<bool> items(count);
    for (size_t i = 0; i < count; ++i)
        items[i] = (i % 2 == 1) == even;
    return items;
}
