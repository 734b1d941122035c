#pragma once

#include "platform/service_manager.h"

#include <deque>
#include <map>
#include <string>
#include <vector>

namespace platform {

// A service manager that plays a script: which opens succeed, what each status query reports,
// how the requests are answered. Every call is logged, so tests see the order of the calls.
class SimulatedServiceManager final : public ServiceManager {
public:
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

    // The script. A query takes the next report; the last one repeats for ever, so a service
    // can stay pending. A report without a status is a failed query. No reports: queries fail.
    std::optional<std::string> name = "KASSAN";
    bool managerReachable = true;
    bool serviceInstalled = true;
    bool startAccepted = true;
    ControlReply stopReply{true, std::nullopt};
    std::chrono::milliseconds timeout{0};
    void reportNext(std::optional<ServiceStatus> status) { reports_.push_back(status); }

    // "openManager 1", "openService VemloLumraBokfExport 20", "query", "start", "control 1",
    // "timeout", "close manager", "close service": in call order.
    const std::vector<std::string>& calls() const { return calls_; }
    int queries() const;
    // Handles opened and not yet released.
    std::size_t openHandles() const { return open_.size(); }

private:
    ServiceHandle open(const std::string& kind);

    std::deque<std::optional<ServiceStatus>> reports_;
    std::vector<std::string> calls_;
    std::map<ServiceHandle, std::string> open_;
    ServiceHandle next_ = 1;
};

} // namespace platform
