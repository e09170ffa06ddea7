// The service manager's double: services kept in a map, a manager that can
// refuse (no administrator rights) or fail, and each call recorded.
#pragma once

#include "common/bounded_text.h"
#include "install/service_manager.h"

#include <map>
#include <string>

// Service names are the same in any letter case, as the system keeps them.
struct NoCase {
    bool operator()(const std::string& a, const std::string& b) const {
        return CompareNoCase(a.c_str(), b.c_str()) < 0;
    }
};

struct FakeServiceManager {
    bool denied = false; // every change refused: no administrator rights
    std::string failure; // non-empty: creating fails, with this reason
    std::map<std::string, ServiceDefinition, NoCase> services; // by name
    std::map<std::string, int, NoCase> states;                 // ServiceState by name
    bool eventSource = false;                                  // the source "Ravlen" is registered
};
extern FakeServiceManager FakeServices;
