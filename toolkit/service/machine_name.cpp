#include "toolkit/service/machine_name.h"

#include "platform/service_manager.h"
#include "toolkit/toolkit_platform.h"

namespace vemlo {

namespace {

// Fifteen characters and a terminator.
constexpr std::size_t kNameRoom = 16;

} // namespace

std::string GetMachineName() {
    auto name = ServiceManager().computerName(kNameRoom);
    if (!name) {
        return {};
    }
    if (name->size() >= kNameRoom) {
        name->resize(kNameRoom - 1);
    }
    return *name;
}

} // namespace vemlo
