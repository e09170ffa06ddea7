// Seam: the system's service manager and the event log's source, as the
// program's services need them. service_manager_win32.cpp calls the service
// control manager and the registry; the native tests keep services of their
// own in a recorder (tests/doubles/service_manager_recorder.cpp).
#pragma once

#include <string>
#include <vector>

enum ServiceAccount { kAccountLocalService, kAccountNetworkService, kAccountLocalSystem };

// What one service is made of.
struct ServiceDefinition {
    std::string name;        // "Ravlen-NAME"
    std::string displayName; // "Ravlen spooler NAME"
    std::string description;
    std::string commandLine; // the service program and its qualifiers
    ServiceAccount account = kAccountLocalService;
    // The file whose messages the event log shows for the source "Ravlen".
    std::string eventMessageFile;
};

enum ServiceResult {
    kServiceDone,
    kServiceDenied,  // no administrator rights
    kServiceExists,  // a service of that name is there already
    kServiceMissing, // no service of that name
    kServiceFailed   // anything else; `reason` says what the system said
};

// The service manager's states, numbered as it numbers them.
enum ServiceState {
    kServiceStopped = 1,
    kServiceStarting,
    kServiceStopping,
    kServiceRunning,
    kServiceContinuing,
    kServicePausing,
    kServicePaused
};

struct ServiceEntry {
    std::string name; // "Ravlen-NAME"
    int state = kServiceStopped;
    std::string commandLine;
};

// Registers the service: started automatically with the system, restarted
// by the service manager after a crash, and the event source "Ravlen" with
// it. All or nothing: a step that fails takes back the ones before it.
ServiceResult CreateSpoolerService(const ServiceDefinition& service, std::string* reason);
// Stops the service (waiting until it has stopped, as long as it asked for)
// and removes it; with `lastOne`, the event source goes too.
ServiceResult RemoveSpoolerService(const std::string& name, bool lastOne, std::string* reason);
// The services whose names begin with `prefix` (letter case aside).
ServiceResult ListSpoolerServices(const std::string& prefix, std::vector<ServiceEntry>* services,
                                  std::string* reason);
