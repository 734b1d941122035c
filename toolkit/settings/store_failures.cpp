#include "toolkit/settings/store_failures.h"

#include "toolkit/toolkit_platform.h"

namespace vemlo {

namespace {

std::uint64_t g_ReadFailures = 0;
std::string g_ReadFailureMessage;
std::string g_ReadFailureDetail;
std::string g_WriteFailure;

} // namespace

ReadFailureMark::ReadFailureMark()
    : at_(g_ReadFailures) {}

bool ReadFailureMark::failed() const {
    return g_ReadFailures != at_;
}

std::string ReadFailureMark::message() const {
    return failed() ? g_ReadFailureMessage : std::string();
}

std::string ReadFailureMark::detail() const {
    return failed() ? g_ReadFailureDetail : std::string();
}

bool IsReadFailure(platform::Status status) {
    switch (status) {
    case platform::kSuccess:
    case platform::kFileNotFound:
    case platform::kMoreData:
    case platform::kNoMoreItems:
    case platform::kKeyDeleted:
    case platform::kInvalidParameter:
        return false;
    default:
        return true;
    }
}

void NoteReadFailure(platform::Status status) {
    auto& store = SettingsStore();
    g_ReadFailureMessage = store.userMessageFor(status);
    g_ReadFailureDetail = store.messageFor(status);
    ++g_ReadFailures;
}

const std::string& LastWriteFailure() {
    return g_WriteFailure;
}

void NoteWriteFailure(std::string message) {
    g_WriteFailure = std::move(message);
}

} // namespace vemlo
