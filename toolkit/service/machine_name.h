#pragma once

#include <string>

namespace vemlo {

// The local computer's name, at most 15 characters; empty when it cannot be read.
std::string GetMachineName();

} // namespace vemlo
