// Doubles of the service's seams: the service manager's requests and the
// clock of the waits between scans, the event log, and each file's access
// list. The service brings its own message sink and front-end services, so
// its tests link these in place of the windows program's recorders.
#pragma once

#include "service/file_access.h"
#include "service/service_host.h"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

struct ServiceScript {
    HostRequests asked; // what the service manager asks now
    // Run by the wait of that number (from 0), once its time has passed.
    std::map<int, std::function<void()>> atWait;
    int waits = 0;
    std::vector<int> states;                         // reported, in order
    int exitCode = 0;                                // with the last report
    std::string commonData;                          // CommonDataDirectory; empty: none
    std::vector<std::pair<int, std::string>> events; // kind and text, in order
    std::map<std::string, FileAccess> access;        // by path; a path not listed is not there
    std::vector<std::string> unreadable;             // paths whose security cannot be read
    std::string account = "S-1-5-19";                // the service's own
    std::vector<std::string> administrators;         // accounts in the Administrators group
    long long waited = 0;                            // milliseconds the waits took
};
extern ServiceScript Service;
