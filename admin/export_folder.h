#pragma once

#include <string>

namespace lumra {

// A chosen export folder as the service must be given it: absolute, in its universal form when
// it lies on a network share that only the user's session sees, and ending with the platform's
// separator.
std::string UniversalExportFolder(const std::string& chosen);

} // namespace lumra
