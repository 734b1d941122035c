#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace lumra {

// The export service's name with the operating system's service manager.
inline constexpr const char* kExportServiceName = "VemloLumraBokfExport";

// The service's state (1 stopped to 7 paused), or 0 when no state could be obtained.
std::uint32_t QueryServiceState(const std::string& machineName, const std::string& serviceName);
// Starts the service and waits while it starts; true when it runs.
bool StartExportService(const std::string& machineName, const std::string& serviceName);
// Stops the service and waits while it stops; true when it is stopped.
bool StopExportService(const std::string& machineName, const std::string& serviceName);

// The position of the status item that shows a state; -1 (none) for 0 and unknown states.
int ServiceStateItem(std::uint32_t state);

// How long a start or stop is waited for: the manager's own time-out for the service, at least
// 30 seconds and at most 3 minutes; an unknown time-out counts as the least.
std::chrono::milliseconds PendingWaitBound(std::chrono::milliseconds managerTimeout);

} // namespace lumra
