#pragma once

#include <string>

namespace platform {

// The variable's value; "" when it is not set.
std::string EnvironmentVariable(const char* name);

} // namespace platform
