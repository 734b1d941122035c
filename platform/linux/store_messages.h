#pragma once

#include "platform/settings_store.h"

#include <string>

namespace platform {

// A problem with a file of the store, in English: "The settings store file '<file>' <why>".
std::string About(const std::string& file, const std::string& why);

// The same problem for the user, in Swedish, with the file name as it is; for a detail not made
// by About, the Swedish text for the status.
std::string SwedishDetail(const std::string& detail, Status status);

} // namespace platform
