#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// An open manager or service; kNoServiceHandle when opening failed.
using ServiceHandle = std::uint64_t;
inline constexpr ServiceHandle kNoServiceHandle = 0;

// Access rights, with the platform's values.
inline constexpr std::uint32_t kManagerConnect = 0x0001;
inline constexpr std::uint32_t kServiceQueryStatus = 0x0004;
inline constexpr std::uint32_t kServiceStart = 0x0010;
inline constexpr std::uint32_t kServiceStop = 0x0020;

// The control code that asks a service to stop.
inline constexpr std::uint32_t kServiceControlStop = 1;

// Service states as the manager reports them.
inline constexpr std::uint32_t kServiceStopped = 1;
inline constexpr std::uint32_t kServiceStartPending = 2;
inline constexpr std::uint32_t kServiceStopPending = 3;
inline constexpr std::uint32_t kServiceRunning = 4;
inline constexpr std::uint32_t kServiceContinuePending = 5;
inline constexpr std::uint32_t kServicePausePending = 6;
inline constexpr std::uint32_t kServicePaused = 7;

// The part of the manager's status record that callers use.
struct ServiceStatus {
    std::uint32_t currentState = 0;
    // Raised by the service while a pending operation progresses.
    std::uint32_t checkPoint = 0;
    // Milliseconds the service expects its next step to take.
    std::uint32_t waitHint = 0;

    friend bool operator==(const ServiceStatus&, const ServiceStatus&) = default;
};

// What a control request did: accepted or not, and the status record when the manager filled it
// (it does on acceptance and when it refuses because of the service's state).
struct ControlReply {
    bool accepted = false;
    std::optional<ServiceStatus> status;
};

enum class PendingOperation { Start, Stop };

// The operating system's service manager on the local computer.
//
// On Linux the systemd backend maps it as follows: the service "Name" is the unit
// "Name.service" on the system bus; the states come from the unit's freezer state, its queued
// job and its active state, and an active unit counts as start pending until it has stayed in
// the same run for a settle time. The checkpoint rises on every query while pending, with a wait
// hint of 100 ms to about a second; once the unit is neither pending nor in the state that a
// start or stop request on the handle aims at, the checkpoint drops to 0. A start request for a
// unit that is not stopped is refused, as is a stop request for a stopped unit (with the record
// saying stopped). Without a system bus or systemd nothing opens.
class ServiceManager {
public:
    virtual ~ServiceManager() = default;

    // The computer's name when it fits in room characters with a terminator; nothing when it
    // cannot be read or does not fit.
    virtual std::optional<std::string> computerName(std::size_t room) = 0;
    // The manager of the computer with that name; kNoServiceHandle when it cannot be reached or
    // refuses the access.
    virtual ServiceHandle openManager(const std::string& machineName, std::uint32_t access) = 0;
    // kNoServiceHandle when the service does not exist or refuses the access.
    virtual ServiceHandle openService(ServiceHandle manager, const std::string& serviceName,
                                      std::uint32_t access) = 0;
    // False when the status could not be read; status is then left as it was.
    virtual bool queryStatus(ServiceHandle service, ServiceStatus& status) = 0;
    // Asks the manager to start the service without arguments; false when refused.
    virtual bool startService(ServiceHandle service) = 0;
    virtual ControlReply controlService(ServiceHandle service, std::uint32_t control) = 0;
    // The time the manager gives the service to finish starting or stopping; zero when unknown,
    // std::chrono::milliseconds::max() when it waits for ever.
    virtual std::chrono::milliseconds pendingTimeout(ServiceHandle service,
                                                     PendingOperation operation) = 0;
    // Releases a handle that an open returned.
    virtual void closeHandle(ServiceHandle handle) = 0;
};

} // namespace platform
