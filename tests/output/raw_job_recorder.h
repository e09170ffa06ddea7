// The spooler channel as a recorder: the bytes of the raw job in memory, and
// a write that can be made to fail.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

extern std::string RawJobBytes;
// The size of every write, in order.
extern std::vector<size_t> RawJobWrites;
// Writes fail once this many bytes have gone out (none: never).
extern size_t RawJobFailAfter;
void ResetRawJob();
