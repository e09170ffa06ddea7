// Service manager double: see service_manager_recorder.h. Calls are recorded
// as "service create NAME", "service remove NAME" and "service list".
#include "service_manager_recorder.h"
#include "recorder.h"

FakeServiceManager FakeServices;

ServiceResult CreateSpoolerService(const ServiceDefinition& service, std::string* reason) {
    RecordedCalls.push_back("service create " + service.name);
    if (FakeServices.denied)
        return kServiceDenied;
    if (FakeServices.services.count(service.name))
        return kServiceExists;
    if (!FakeServices.failure.empty()) {
        *reason = FakeServices.failure;
        return kServiceFailed;
    }
    FakeServices.services[service.name] = service;
    FakeServices.states[service.name] = kServiceStopped;
    FakeServices.eventSource = true;
    return kServiceDone;
}

ServiceResult RemoveSpoolerService(const std::string& name, bool lastOne, std::string*) {
    RecordedCalls.push_back("service remove " + name + (lastOne ? " (last)" : ""));
    if (!FakeServices.services.count(name))
        return kServiceMissing;
    if (FakeServices.denied)
        return kServiceDenied;
    FakeServices.services.erase(name);
    FakeServices.states.erase(name);
    if (lastOne)
        FakeServices.eventSource = false;
    return kServiceDone;
}

ServiceResult ListSpoolerServices(const std::string& prefix, std::vector<ServiceEntry>* services,
                                  std::string*) {
    RecordedCalls.push_back("service list");
    services->clear();
    for (const auto& service : FakeServices.services) {
        if (!StartsWithNoCase(service.first.c_str(), prefix.c_str()))
            continue;
        ServiceEntry entry;
        entry.name = service.first;
        entry.state = FakeServices.states[service.first];
        entry.commandLine = service.second.commandLine;
        services->push_back(entry);
    }
    return kServiceDone;
}
