// Seam: the service manager as the engine's one thread sees it. Its control
// handler runs on another thread and only leaves requests here, which the
// engine takes when it looks: between scans and at every turn of the message
// pump. service_main_win32.cpp hands them over with interlocked flags and an
// event; the native tests script them and play the clock.
#pragma once

#include <string>

// What the service manager asks for now. Stop (or the system's shutdown)
// stays asked once asked; pause holds until a continue.
struct HostRequests {
    bool stop = false;
    bool pause = false;
};
HostRequests ReadHostRequests();
// Waits until a request arrives or `ms` milliseconds pass (none: no limit),
// serving the thread's messages meanwhile.
void WaitForHostRequest(long long ms);
// Tells the service manager the state the service is in now (ServiceState,
// install/service_manager.h), with the exit code for a service that stops
// refused (0 otherwise).
void ReportServiceState(int state, int exitCode);
// The common application-data folder (%ProgramData%), where the service's
// own log goes; false when the system names none.
bool CommonDataDirectory(std::string* directory);
