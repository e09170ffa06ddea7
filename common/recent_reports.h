// A short memory of reports already made, so that a warning raised again for
// the same thing (a set reloaded for every file of a batch, or at every scan
// of a spool directory) is shown once. A handful is plenty; the oldest goes
// first.
#pragma once

#include <string>
#include <vector>

struct RecentReports {
    std::vector<std::string> entries; // compared without regard to letter case
    size_t next = 0;
};

// True the first time `entry` comes (remembered from then on), false while
// it is still remembered.
bool FirstReport(RecentReports* recent, const std::string& entry);
