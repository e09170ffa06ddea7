#include "raw_job_recorder.h"

#include "output/printer_selection.h"
#include "output/spooler_channel.h"

std::string RawJobBytes;
std::vector<size_t> RawJobWrites;
size_t RawJobFailAfter = std::string::npos;

void ResetRawJob() {
    RawJobBytes.clear();
    RawJobWrites.clear();
    RawJobFailAfter = std::string::npos;
}

bool StartSpoolerJob(const char*, const char*, const char*, const char*) {
    return true;
}

bool WriteRawJob(const void* bytes, size_t count) {
    if (RawJobFailAfter != std::string::npos && RawJobBytes.size() + count > RawJobFailAfter)
        return false;
    RawJobWrites.push_back(count);
    RawJobBytes.append(static_cast<const char*>(bytes), count);
    return true;
}

bool CloseRawJob(bool) {
    return true;
}

// No printer is selected: no printer preferences reach the job.
void GetPrinterName(char* buffer, size_t size) {
    if (size > 0)
        buffer[0] = '\0';
}
