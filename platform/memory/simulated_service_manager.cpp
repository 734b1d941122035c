#include "platform/memory/simulated_service_manager.h"

#include <algorithm>

namespace platform {

std::optional<std::string> SimulatedServiceManager::computerName(std::size_t room) {
    if (!name || name->size() + 1 > room) {
        return std::nullopt;
    }
    return name;
}

ServiceHandle SimulatedServiceManager::open(const std::string& kind) {
    const ServiceHandle handle = next_++;
    open_[handle] = kind;
    return handle;
}

ServiceHandle SimulatedServiceManager::openManager(const std::string&, std::uint32_t access) {
    calls_.push_back("openManager " + std::to_string(access));
    return managerReachable ? open("manager") : kNoServiceHandle;
}

ServiceHandle SimulatedServiceManager::openService(ServiceHandle manager,
                                                   const std::string& serviceName,
                                                   std::uint32_t access) {
    calls_.push_back("openService " + serviceName + " " + std::to_string(access));
    if (!open_.contains(manager) || !serviceInstalled) {
        return kNoServiceHandle;
    }
    return open("service");
}

bool SimulatedServiceManager::queryStatus(ServiceHandle, ServiceStatus& status) {
    calls_.push_back("query");
    if (reports_.empty()) {
        return false;
    }
    const auto report = reports_.front();
    if (reports_.size() > 1) {
        reports_.pop_front();
    }
    if (!report) {
        return false;
    }
    status = *report;
    return true;
}

bool SimulatedServiceManager::startService(ServiceHandle) {
    calls_.push_back("start");
    return startAccepted;
}

ControlReply SimulatedServiceManager::controlService(ServiceHandle, std::uint32_t control) {
    calls_.push_back("control " + std::to_string(control));
    return stopReply;
}

std::chrono::milliseconds SimulatedServiceManager::pendingTimeout(ServiceHandle, PendingOperation) {
    calls_.push_back("timeout");
    return timeout;
}

void SimulatedServiceManager::closeHandle(ServiceHandle handle) {
    const auto found = open_.find(handle);
    calls_.push_back("close " + (found == open_.end() ? std::string("unknown") : found->second));
    if (found != open_.end()) {
        open_.erase(found);
    }
}

int SimulatedServiceManager::queries() const {
    return static_cast<int>(std::count(calls_.begin(), calls_.end(), "query"));
}

} // namespace platform
