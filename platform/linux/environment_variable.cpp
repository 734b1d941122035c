#include "platform/linux/environment_variable.h"

#include <cstdlib>

namespace platform {

std::string EnvironmentVariable(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

} // namespace platform
