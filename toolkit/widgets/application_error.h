#pragma once

#include <string>

namespace vemlo {

// The message of an error that reached the application, ending in a full stop unless its last
// character is "." or sorts before it.
std::string DefaultHandlerText(std::string message);

// Shows an error in the application's error box, titled with the application's title.
void ShowApplicationError(const std::string& message);

} // namespace vemlo
