// The service's run: what spooler mode does in the windows program, with the
// service manager in place of the window. One thread runs all of it; the
// service manager's requests reach it through service_host.h.
#pragma once

#include <string>
#include <vector>

// Opens the activity log (with no /l:, NAME.log in the common application
// data folder's Ravlen folder, continued), reads the stored command line and
// checks that the service may run: a spooler pattern, its set's
// EnableSpooler, and no file it trusts that others may write. Returns the
// exit code: 0 to go on; any other, already reported, to stop at once.
int BeginServiceRun(const std::string& serviceName, const std::vector<std::string>& arguments,
                    const std::string& serviceProgram);
// Scans on the spooler's timer until a stop; Pause stops taking new files,
// Continue goes on.
void RunServiceScans();
// The stop line in the log, and the printing resources released.
void EndServiceRun();
