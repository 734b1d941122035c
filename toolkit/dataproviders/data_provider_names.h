#pragma once

#include <string>

namespace vemlo {

// The text after the last separator of the platform's paths.
std::string FileNamePart(const std::string& path);

// Whether a name can be given to a new data link file: one that would reach outside the data
// links folder ("/" or a NUL in it) cannot.
bool IsDataLinkName(const std::string& name);

} // namespace vemlo
