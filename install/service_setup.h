// Ravlen as a Windows service that serves a spool directory with nobody at
// the screen: "/service install NAME", "/service uninstall NAME" and
// "/service list", for every front end that takes them. The rules are here;
// the service manager and the registry are behind service_manager.h.
#pragma once

#include "service_manager.h"

#include <string>
#include <vector>

// Runs "/service" with the words after it: "install NAME" and the spooler's
// qualifiers (/s:pattern, required; /i:, /n:, /b:, /l:, /e, /account:),
// "uninstall NAME" or "list". Returns the exit code: 0 when done, 1 when
// refused or failed, which is reported (ShowMessage) where it happens.
// `listing` gets what to tell the user once it is done: the list of the
// program's services with their states and patterns, or the line that says
// what was installed or removed; it is empty after a failure.
int RunServiceCommand(const std::vector<std::string>& arguments, std::string* listing);
// The same for a named service program (RunServiceCommand names
// ravlensvc.exe beside the running program).
int RunServiceCommandFor(const std::string& serviceProgram,
                         const std::vector<std::string>& arguments, std::string* listing);

// The program's services go with it, when it is uninstalled: each one is
// stopped and removed, the event source with the last. False when one stays
// (reported), since it would start a program that is no longer there.
bool RemoveProgramServices();

// A NAME: 1 to 64 ASCII letters, digits, "-" and "_".
bool ValidServiceName(const std::string& name);
// "Ravlen-NAME", the service manager's name for it.
std::string ServiceNameOf(const std::string& name);

// What "/service install NAME ..." asks for, its paths made absolute.
struct ServiceRequest {
    std::string name;
    ServiceAccount account = kAccountLocalService;
    std::string pattern;      // /s:
    std::string settingsFile; // /i:, or ravlen.ini in the Windows directory
    std::string setName;      // /n:, empty for the default set
    std::string backup;       // /b:, empty for none
    std::string log;          // /l:, "+" first to append; empty: the service's own
    bool echo = false;        // /e
};
// Reads the qualifiers after "install NAME" into `request`, whose name is
// set. False, reported, for a qualifier the service does not take, a value
// that is missing or does not fit, an unknown account, or no /s:.
bool ReadServiceRequest(const std::vector<std::string>& qualifiers, ServiceRequest* request);
// The command line the service manager starts the service with: the service
// program, then each qualifier in quotes, in the order they act.
std::string ServiceCommandLine(const std::string& serviceProgram, const ServiceRequest& request);

// One argument as the runtime's splitting reads it back whole: in quotes,
// with the backslashes before a quote, or before the closing one, doubled.
std::string QuoteArgument(const std::string& text);
// The value of the first "/s:" qualifier of a stored command line; empty
// when it has none.
std::string PatternOfCommandLine(const std::string& commandLine);
// The text of "/service list": one line per service, sorted by name.
std::string ServiceListing(const std::vector<ServiceEntry>& services);
