// "/service install", "uninstall" and "list": the rules for a service's name,
// the command line it is stored with, and the text of the list. The service
// manager itself is behind service_manager.h.
#include "service_setup.h"

#include "../common/bounded_text.h"
#include "../common/file_system.h"
#include "../common/messages.h"
#include "../common/paths.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

namespace {

const char kServicePrefix[] = "Ravlen-";
const char kServiceProgram[] = "ravlensvc.exe";
const char kDefaultSettingsFile[] = "ravlen.ini";
const size_t kMaxNameChars = 64;

// A text of the string table filled with one argument.
std::string Formatted(int id, const std::string& argument) {
    char format[kLoadTextSize];
    CopyText(format, sizeof format, LoadText(id));
    char text[kLoadTextSize];
    FormatText(text, sizeof text, format, argument.c_str());
    return text;
}

void Refuse(int id, const std::string& argument) {
    ShowMessage(id, argument.c_str(), 0, kMessageError);
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// The full path of `path`, as the file functions would take it from the
// current directory; false, reported, when it does not fit.
bool AbsolutePath(const char* argument, const std::string& path, std::string* out) {
    char full[kPathSize];
    if (path.size() > kPathChars || !FullPathOf(path.c_str(), full, sizeof full)) {
        ShowMessage(kTextInvalidQualifier, argument, 0, kMessageError);
        return false;
    }
    *out = full;
    return true;
}

// A settings file without a directory lives in the Windows directory, as the
// profile functions take it; any other is made full as paths are.
bool AbsoluteSettingsFile(const char* argument, const std::string& value, std::string* out) {
    std::string name = value.empty() ? kDefaultSettingsFile : value;
    if (std::find_if(name.begin(), name.end(), IsSeparator) != name.end())
        return AbsolutePath(argument, name, out);
    char directory[kPathSize];
    if (!WindowsDirectory(directory, sizeof directory))
        directory[0] = '\0';
    return AbsolutePath(argument, std::string(directory) + "\\" + name, out);
}

bool ReadAccount(const char* value, ServiceAccount* account) {
    static const struct {
        const char* name;
        ServiceAccount account;
    } kAccounts[] = {{"LocalService", kAccountLocalService},
                     {"NetworkService", kAccountNetworkService},
                     {"LocalSystem", kAccountLocalSystem}};
    for (const auto& known : kAccounts) {
        if (CompareNoCase(value, known.name) == 0) {
            *account = known.account;
            return true;
        }
    }
    Refuse(kTextServiceAccountUnknown, value);
    return false;
}

// One qualifier of "install NAME ...", read as the spooler's own grammar
// reads it: the character after "/" selects, the value starts at the fourth.
bool ReadQualifier(const std::string& qualifier, ServiceRequest* request) {
    const char* argument = qualifier.c_str();
    static const char kAccount[] = "/account:";
    if (StartsWithNoCase(argument, kAccount))
        return ReadAccount(argument + sizeof kAccount - 1, &request->account);
    if (argument[0] != '/') {
        Refuse(kTextServiceUsage, qualifier);
        return false;
    }
    char selector = static_cast<char>(std::tolower(static_cast<unsigned char>(argument[1])));
    std::string value = qualifier.size() > 3 ? qualifier.substr(3) : std::string();
    bool needsValue = std::strchr("snbl", selector) != nullptr;
    if (selector && needsValue && (value.empty() || (selector == 'l' && value == "+"))) {
        Refuse(kTextQualifierNeedsValue, qualifier);
        return false;
    }
    switch (selector) {
    case 's':
        return AbsolutePath(argument, value, &request->pattern);
    case 'i':
        return AbsoluteSettingsFile(argument, value, &request->settingsFile);
    case 'n':
        if (value.size() >= kSettingTextSize) {
            Refuse(kTextInvalidQualifier, qualifier);
            return false;
        }
        request->setName = value;
        return true;
    case 'b':
        return AbsolutePath(argument, value, &request->backup);
    case 'l': {
        bool append = value[0] == '+';
        if (!AbsolutePath(argument, append ? value.substr(1) : value, &request->log))
            return false;
        if (append)
            request->log.insert(0, "+");
        return true;
    }
    case 'e':
        request->echo = true;
        return true;
    default:
        Refuse(kTextInvalidQualifier, qualifier);
        return false;
    }
}

// The arguments after the program's name, split by the runtime's rules
// (jobs/arguments.h holds them for the program's own command line).
std::vector<std::string> SplitStoredArguments(const std::string& commandLine) {
    std::vector<std::string> arguments;
    const char* p = commandLine.c_str();
    if (*p == '"') {
        p = std::strchr(p + 1, '"');
        p = p ? p + 1 : commandLine.c_str() + commandLine.size();
    } else {
        while (*p && *p != ' ' && *p != '\t')
            ++p;
    }
    for (;;) {
        while (*p == ' ' || *p == '\t')
            ++p;
        if (!*p)
            return arguments;
        std::string text;
        bool inQuote = false;
        while (*p && (inQuote || (*p != ' ' && *p != '\t'))) {
            size_t slashes = std::strspn(p, "\\");
            if (p[slashes] != '"') {
                text.append(p, slashes ? slashes : 1);
                p += slashes ? slashes : 1;
                continue;
            }
            text.append(slashes / 2, '\\');
            p += slashes;
            if (slashes % 2 == 1) {
                text += '"';
            } else if (inQuote && p[1] == '"') {
                text += '"';
                ++p;
            } else {
                inQuote = !inQuote;
            }
            ++p;
        }
        arguments.push_back(text);
    }
}

int ServiceStateText(int state) {
    if (state < kServiceStopped || state > kServicePaused)
        return kTextServiceStateStopped;
    return kTextServiceStateStopped + (state - kServiceStopped);
}

// Reports what the service manager refused; false for everything but done.
bool Reported(ServiceResult result, const std::string& service, const std::string& reason) {
    switch (result) {
    case kServiceDone:
        return true;
    case kServiceDenied:
        Refuse(kTextServiceNeedsAdministrator, service);
        break;
    case kServiceExists:
        Refuse(kTextServiceExists, service);
        break;
    case kServiceMissing:
        Refuse(kTextServiceMissing, service);
        break;
    case kServiceFailed:
        Refuse(kTextServiceFailed, reason.empty() ? service : service + "\n" + reason);
        break;
    }
    return false;
}

int Install(const std::string& program, const std::vector<std::string>& arguments,
            std::string* listing) {
    ServiceRequest request;
    request.name = arguments[1];
    std::vector<std::string> qualifiers(arguments.begin() + 2, arguments.end());
    if (!ReadServiceRequest(qualifiers, &request))
        return 1;
    if (!FileExists(program.c_str())) {
        ShowMessage(kTextCouldNotOpen, program.c_str(), ENOENT, kMessageError);
        return 1;
    }
    ServiceDefinition service;
    service.name = ServiceNameOf(request.name);
    service.displayName = Formatted(kTextServiceDisplayName, request.name);
    service.description = Formatted(kTextServiceDescription, request.pattern);
    service.commandLine = ServiceCommandLine(program, request);
    service.account = request.account;
    service.eventMessageFile = program;
    std::string reason;
    if (!Reported(CreateSpoolerService(service, &reason), service.name, reason))
        return 1;
    *listing = Formatted(kTextServiceInstalled, service.name);
    return 0;
}

int Uninstall(const std::string& name, std::string* listing) {
    std::string service = ServiceNameOf(name);
    std::vector<ServiceEntry> services;
    std::string reason;
    // The event source stays while another service of the program uses it.
    bool lastOne = ListSpoolerServices(kServicePrefix, &services, &reason) == kServiceDone &&
                   services.size() == 1 &&
                   CompareNoCase(services[0].name.c_str(), service.c_str()) == 0;
    if (!Reported(RemoveSpoolerService(service, lastOne, &reason), service, reason))
        return 1;
    *listing = Formatted(kTextServiceRemoved, service);
    return 0;
}

int List(std::string* listing) {
    std::vector<ServiceEntry> services;
    std::string reason;
    if (!Reported(ListSpoolerServices(kServicePrefix, &services, &reason), kServicePrefix, reason))
        return 1;
    *listing = ServiceListing(services);
    return 0;
}

std::string Joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words)
        text += (text.empty() ? "" : " ") + word;
    return text;
}

} // namespace

bool ValidServiceName(const std::string& name) {
    if (name.empty() || name.size() > kMaxNameChars)
        return false;
    for (char c : name) {
        bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (!letter && !(c >= '0' && c <= '9') && c != '-' && c != '_')
            return false;
    }
    return true;
}

std::string ServiceNameOf(const std::string& name) {
    return kServicePrefix + name;
}

bool ReadServiceRequest(const std::vector<std::string>& qualifiers, ServiceRequest* request) {
    std::string name = request->name;
    *request = ServiceRequest();
    request->name = name;
    for (const std::string& qualifier : qualifiers) {
        if (!ReadQualifier(qualifier, request))
            return false;
    }
    if (request->pattern.empty()) {
        Refuse(kTextServicePatternMissing, ServiceNameOf(name));
        return false;
    }
    if (request->settingsFile.empty())
        return AbsoluteSettingsFile("/i:", "", &request->settingsFile);
    return true;
}

std::string ServiceCommandLine(const std::string& serviceProgram, const ServiceRequest& request) {
    // The log first, so that it has everything; the settings file before
    // its set, which the file's own default would otherwise replace.
    std::vector<std::string> qualifiers;
    if (!request.log.empty())
        qualifiers.push_back("/l:" + request.log);
    qualifiers.push_back("/i:" + request.settingsFile);
    if (!request.setName.empty())
        qualifiers.push_back("/n:" + request.setName);
    qualifiers.push_back("/s:" + request.pattern);
    if (!request.backup.empty())
        qualifiers.push_back("/b:" + request.backup);
    if (request.echo)
        qualifiers.push_back("/e");
    std::string line = "\"" + serviceProgram + "\"";
    for (const std::string& qualifier : qualifiers)
        line += " " + QuoteArgument(qualifier);
    return line;
}

std::string QuoteArgument(const std::string& text) {
    std::string quoted = "\"";
    size_t slashes = 0;
    for (char c : text) {
        if (c == '\\') {
            ++slashes;
            continue;
        }
        quoted.append(c == '"' ? slashes * 2 + 1 : slashes, '\\');
        quoted += c;
        slashes = 0;
    }
    quoted.append(slashes * 2, '\\');
    return quoted + "\"";
}

std::string PatternOfCommandLine(const std::string& commandLine) {
    for (const std::string& argument : SplitStoredArguments(commandLine)) {
        if (argument.size() > 3 && argument[0] == '/' && (argument[1] == 's' || argument[1] == 'S'))
            return argument.substr(3);
    }
    return std::string();
}

std::string ServiceListing(const std::vector<ServiceEntry>& services) {
    if (services.empty())
        return std::string(LoadText(kTextServiceNoneInstalled)) + "\n";
    std::vector<ServiceEntry> sorted = services;
    std::sort(sorted.begin(), sorted.end(), [](const ServiceEntry& a, const ServiceEntry& b) {
        return CompareNoCase(a.name.c_str(), b.name.c_str()) < 0;
    });
    std::string text;
    for (const ServiceEntry& service : sorted) {
        text += service.name + " (" + LoadText(ServiceStateText(service.state)) + "): ";
        text += PatternOfCommandLine(service.commandLine) + "\n";
    }
    return text;
}

int RunServiceCommandFor(const std::string& serviceProgram,
                         const std::vector<std::string>& arguments, std::string* listing) {
    listing->clear();
    const char* word = arguments.empty() ? "" : arguments[0].c_str();
    bool install = CompareNoCase(word, "install") == 0;
    bool uninstall = CompareNoCase(word, "uninstall") == 0;
    if ((install && arguments.size() >= 2) || (uninstall && arguments.size() == 2)) {
        if (!ValidServiceName(arguments[1])) {
            Refuse(kTextServiceNameInvalid, arguments[1]);
            return 1;
        }
        return install ? Install(serviceProgram, arguments, listing)
                       : Uninstall(arguments[1], listing);
    }
    if (CompareNoCase(word, "list") == 0 && arguments.size() == 1)
        return List(listing);
    Refuse(kTextServiceUsage, Joined(arguments));
    return 1;
}

bool RemoveProgramServices() {
    std::vector<ServiceEntry> services;
    std::string reason;
    if (!Reported(ListSpoolerServices(kServicePrefix, &services, &reason), kServicePrefix, reason))
        return false;
    bool removed = true;
    for (size_t i = 0; i < services.size(); ++i) {
        bool lastOne = i + 1 == services.size();
        removed = Reported(RemoveSpoolerService(services[i].name, lastOne, &reason),
                           services[i].name, reason) &&
                  removed;
    }
    return removed;
}

int RunServiceCommand(const std::vector<std::string>& arguments, std::string* listing) {
    std::string program = ProgramPathComponents("drive,dir");
    return RunServiceCommandFor(program + kServiceProgram, arguments, listing);
}
