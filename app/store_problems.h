#pragma once

#include <string>
#include <vector>

// The Swedish error text for hives that cannot be used, each problem on its own line; "" when
// there is none.
std::string StoreProblemText(const std::vector<std::string>& problems);
