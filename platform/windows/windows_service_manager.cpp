#include "platform/windows/windows_service_manager.h"

#include "platform/windows/wide_text.h"

#include <vector>
#include <windows.h>

namespace platform {

namespace {

SC_HANDLE HandleOf(ServiceHandle handle) {
    return reinterpret_cast<SC_HANDLE>(static_cast<std::uintptr_t>(handle));
}

ServiceHandle ServiceHandleOf(SC_HANDLE handle) {
    return static_cast<ServiceHandle>(reinterpret_cast<std::uintptr_t>(handle));
}

ServiceStatus StatusOf(const SERVICE_STATUS& record) {
    return {record.dwCurrentState, record.dwCheckPoint, record.dwWaitHint};
}

} // namespace

// Keeps the error code of a call that failed; the result passes through.
template <typename Result> Result WindowsServiceManager::noted(Result result) {
    if (!result) {
        lastError_ = GetLastError();
    }
    return result;
}

std::optional<std::string> WindowsServiceManager::computerName(std::size_t room) {
    std::vector<wchar_t> buffer(room, L'\0');
    DWORD size = static_cast<DWORD>(room);
    if (room == 0 || !noted(GetComputerNameW(buffer.data(), &size))) {
        return std::nullopt;
    }
    return Narrow(std::wstring_view(buffer.data(), size));
}

ServiceHandle WindowsServiceManager::openManager(const std::string& machineName,
                                                 std::uint32_t access) {
    const auto machine = Widen(machineName);
    if (!machine) {
        return kNoServiceHandle;
    }
    return ServiceHandleOf(
        noted(OpenSCManagerW(machine->empty() ? nullptr : machine->c_str(), nullptr, access)));
}

ServiceHandle WindowsServiceManager::openService(ServiceHandle manager,
                                                 const std::string& serviceName,
                                                 std::uint32_t access) {
    const auto name = Widen(serviceName);
    if (!name) {
        return kNoServiceHandle;
    }
    return ServiceHandleOf(noted(OpenServiceW(HandleOf(manager), name->c_str(), access)));
}

bool WindowsServiceManager::queryStatus(ServiceHandle service, ServiceStatus& status) {
    SERVICE_STATUS record{};
    if (!noted(QueryServiceStatus(HandleOf(service), &record))) {
        return false;
    }
    status = StatusOf(record);
    return true;
}

bool WindowsServiceManager::startService(ServiceHandle service) {
    return noted(StartServiceW(HandleOf(service), 0, nullptr)) != FALSE;
}

ControlReply WindowsServiceManager::controlService(ServiceHandle service, std::uint32_t control) {
    SERVICE_STATUS record{};
    if (noted(ControlService(HandleOf(service), control, &record))) {
        return {true, StatusOf(record)};
    }
    // These two refusals fill the record; the others leave it untouched.
    if (lastError_ == ERROR_SERVICE_NOT_ACTIVE || lastError_ == ERROR_SERVICE_CANNOT_ACCEPT_CTRL) {
        return {false, StatusOf(record)};
    }
    return {false, std::nullopt};
}

std::chrono::milliseconds WindowsServiceManager::pendingTimeout(ServiceHandle, PendingOperation) {
    return std::chrono::milliseconds::zero();
}

void WindowsServiceManager::closeHandle(ServiceHandle handle) {
    CloseServiceHandle(HandleOf(handle));
}

} // namespace platform
