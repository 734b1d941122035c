#pragma once

#include "platform/connection_string.h"

#include <string>

namespace vemlo {

// Sets a key's value in the connection string, in the place of its first occurrence, dropping
// later ones; an empty value removes the key.
void SetConnectionValue(platform::ConnectionString& connection, const std::string& key,
                        const std::string& value);

} // namespace vemlo
