#include "recent_reports.h"

#include "bounded_text.h"

namespace {

const size_t kRemembered = 16;

} // namespace

bool FirstReport(RecentReports* recent, const std::string& entry) {
    for (const std::string& seen : recent->entries)
        if (CompareNoCase(seen.c_str(), entry.c_str()) == 0)
            return false;
    if (recent->entries.size() < kRemembered)
        recent->entries.push_back(entry);
    else
        recent->entries[recent->next] = entry;
    recent->next = (recent->next + 1) % kRemembered;
    return true;
}
