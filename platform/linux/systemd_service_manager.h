#pragma once

#include "platform/service_manager.h"

#include <chrono>
#include <memory>
#include <string>

namespace platform {

// The service manager over systemd's D-Bus interface on the system bus; see service_manager.h
// for the mapping. Every bus call is bounded, so a machine without systemd answers at once.
class SystemdServiceManager final : public ServiceManager {
public:
    static constexpr std::chrono::milliseconds kCallTimeout{5000};
    // A start or stop may wait for the user to answer the system's authorisation prompt.
    static constexpr std::chrono::milliseconds kAuthorisationTimeout{120'000};
    // An active unit counts as running only once it has stayed active this long in the same run
    // (the same invocation and restart count); until then it reports start pending. A program
    // that fails at once, or fails and is started again by Restart=, shows within this time:
    // with Type=simple systemd ends the start job as soon as the program is forked.
    static constexpr std::chrono::milliseconds kSettleTime{500};

    // An empty address means the system bus.
    explicit SystemdServiceManager(std::string busAddress = {});
    ~SystemdServiceManager() override;

    SystemdServiceManager(const SystemdServiceManager&) = delete;
    SystemdServiceManager& operator=(const SystemdServiceManager&) = delete;

    std::optional<std::string> computerName(std::size_t room) override;
    ServiceHandle openManager(const std::string& machineName, std::uint32_t access) override;
    ServiceHandle openService(ServiceHandle manager, const std::string& serviceName,
                              std::uint32_t access) override;
    bool queryStatus(ServiceHandle service, ServiceStatus& status) override;
    bool startService(ServiceHandle service) override;
    ControlReply controlService(ServiceHandle service, std::uint32_t control) override;
    std::chrono::milliseconds pendingTimeout(ServiceHandle service,
                                             PendingOperation operation) override;
    void closeHandle(ServiceHandle handle) override;

private:
    class Bus;
    std::unique_ptr<Bus> bus_;
};

} // namespace platform
