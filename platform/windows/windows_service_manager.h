#pragma once

#include "platform/service_manager.h"

#include <cstdint>

namespace platform {

// The Windows service control manager, through its own calls and access rights.
class WindowsServiceManager final : public ServiceManager {
public:
    std::optional<std::string> computerName(std::size_t room) override;
    ServiceHandle openManager(const std::string& machineName, std::uint32_t access) override;
    ServiceHandle openService(ServiceHandle manager, const std::string& serviceName,
                              std::uint32_t access) override;
    bool queryStatus(ServiceHandle service, ServiceStatus& status) override;
    bool startService(ServiceHandle service) override;
    ControlReply controlService(ServiceHandle service, std::uint32_t control) override;
    // The manager publishes no bound of its own, so the caller's least wait applies.
    std::chrono::milliseconds pendingTimeout(ServiceHandle service,
                                             PendingOperation operation) override;
    void closeHandle(ServiceHandle handle) override;

    // The system's error code of the last call that failed (1060: no such service).
    std::uint32_t lastError() const { return lastError_; }

private:
    template <typename Result> Result noted(Result result);

    std::uint32_t lastError_ = 0;
};

} // namespace platform
