#pragma once

#include <string>
#include <vector>

// The Swedish error text for hives that cannot be used, each problem on its own line; "" when
// there is none.
std::string StoreProblemText(const std::vector<std::string>& problems);

// Shows the hives' problems, if any, in one error box.
void ReportStoreProblems(const std::vector<std::string>& problems);
