#include "admin/service_control.h"

#include "platform/clock.h"
#include "platform/service_manager.h"
#include "toolkit/toolkit_platform.h"

#include <algorithm>
#include <chrono>

namespace lumra {

namespace {

using platform::ServiceHandle;
using platform::ServiceStatus;
using std::chrono::milliseconds;

constexpr milliseconds kLeastWait{30'000};
constexpr milliseconds kLongestWait{180'000};
// A poll without pause still counts, so a service that never asks for a pause is bounded too.
constexpr milliseconds kLeastPollCharge{1};

// A handle that is released when the operation leaves its scope; declared service after
// manager, so the service handle goes first.
class OpenHandle {
public:
    explicit OpenHandle(ServiceHandle handle)
        : handle_(handle) {}
    ~OpenHandle() {
        if (handle_ != platform::kNoServiceHandle) {
            vemlo::ServiceManager().closeHandle(handle_);
        }
    }
    OpenHandle(const OpenHandle&) = delete;
    OpenHandle& operator=(const OpenHandle&) = delete;

    ServiceHandle get() const { return handle_; }
    explicit operator bool() const { return handle_ != platform::kNoServiceHandle; }

private:
    ServiceHandle handle_;
};

// Polls while the service is on its way to target; ends when it gets there, a query fails, the
// checkpoint drops, or the bound is spent.
void WaitWhilePending(ServiceHandle service, std::uint32_t target,
                      platform::PendingOperation operation, ServiceStatus& last) {
    if (last.currentState == target) {
        return;
    }
    auto& manager = vemlo::ServiceManager();
    const milliseconds bound = PendingWaitBound(manager.pendingTimeout(service, operation));
    // The pauses taken, or the wall time when more went by: the queries take time as well.
    const auto started = std::chrono::steady_clock::now();
    milliseconds paused{0};
    const auto spent = [&] {
        return std::max(paused, std::chrono::duration_cast<milliseconds>(
                                    std::chrono::steady_clock::now() - started));
    };
    for (milliseconds used = spent(); last.currentState != target && used < bound; used = spent()) {
        const std::uint32_t checkPoint = last.checkPoint;
        const milliseconds pause = std::min(milliseconds{last.waitHint}, bound - used);
        vemlo::Clock().sleep(pause);
        paused += std::max(pause, kLeastPollCharge);
        ServiceStatus next;
        if (!manager.queryStatus(service, next)) {
            return;
        }
        last = next;
        if (next.checkPoint < checkPoint) {
            return;
        }
    }
}

// Opens the service with access, runs request, and waits for target; the last known state.
template <typename Request>
std::uint32_t RequestAndWait(const std::string& machineName, const std::string& serviceName,
                             std::uint32_t access, std::uint32_t target,
                             platform::PendingOperation operation, Request request) {
    auto& manager = vemlo::ServiceManager();
    OpenHandle managerHandle(manager.openManager(machineName, platform::kManagerConnect));
    if (!managerHandle) {
        return 0;
    }
    OpenHandle serviceHandle(manager.openService(managerHandle.get(), serviceName, access));
    if (!serviceHandle) {
        return 0;
    }
    ServiceStatus last;
    if (request(serviceHandle.get(), last) && manager.queryStatus(serviceHandle.get(), last)) {
        WaitWhilePending(serviceHandle.get(), target, operation, last);
    }
    return last.currentState;
}

} // namespace

std::uint32_t QueryServiceState(const std::string& machineName, const std::string& serviceName) {
    auto& manager = vemlo::ServiceManager();
    OpenHandle managerHandle(manager.openManager(machineName, platform::kManagerConnect));
    if (!managerHandle) {
        return 0;
    }
    OpenHandle serviceHandle(
        manager.openService(managerHandle.get(), serviceName, platform::kServiceQueryStatus));
    if (!serviceHandle) {
        return 0;
    }
    ServiceStatus status;
    return manager.queryStatus(serviceHandle.get(), status) ? status.currentState : 0;
}

bool StartExportService(const std::string& machineName, const std::string& serviceName) {
    const auto state = RequestAndWait(machineName, serviceName,
                                      platform::kServiceStart | platform::kServiceQueryStatus,
                                      platform::kServiceRunning, platform::PendingOperation::Start,
                                      [](ServiceHandle service, ServiceStatus&) {
                                          return vemlo::ServiceManager().startService(service);
                                      });
    return state == platform::kServiceRunning;
}

bool StopExportService(const std::string& machineName, const std::string& serviceName) {
    const auto state = RequestAndWait(
        machineName, serviceName, platform::kServiceStop | platform::kServiceQueryStatus,
        platform::kServiceStopped, platform::PendingOperation::Stop,
        [](ServiceHandle service, ServiceStatus& last) {
            const auto reply =
                vemlo::ServiceManager().controlService(service, platform::kServiceControlStop);
            if (reply.status) {
                last = *reply.status;
            }
            return reply.accepted;
        });
    return state == platform::kServiceStopped;
}

int ServiceStateItem(std::uint32_t state) {
    if (state < platform::kServiceStopped || state > platform::kServicePaused) {
        return -1;
    }
    return static_cast<int>(state) - 1;
}

milliseconds PendingWaitBound(milliseconds managerTimeout) {
    if (managerTimeout <= milliseconds::zero()) {
        return kLeastWait;
    }
    return std::clamp(managerTimeout, kLeastWait, kLongestWait);
}

} // namespace lumra
