#pragma once

#include <functional>
#include <string>
#include <vector>

// The Swedish error text for hives that cannot be used, each problem on its own line; "" when
// there is none.
std::string StoreProblemText(const std::vector<std::string>& problems);

// Shows the hives' problems, if any, in one error box.
void ReportStoreProblems(const std::vector<std::string>& problems);

// Shows the hives' problems found at start, then runs start; a load of the configuration list
// during it does not report the same problem again.
void ReportStartProblems(const std::vector<std::string>& problems,
                         const std::function<void()>& start);

// The Swedish error text for a configuration list that could not be read whole, with the
// problem that stopped it; "" for none.
std::string IncompleteLoadText(const std::string& problem);
// Shows it, if there is a problem.
void ReportIncompleteLoad(const std::string& problem);

// The Swedish error text for a refresh that could not read the schedule, the configuration list
// or both, which then show what they showed before; "" when it read both.
std::string IncompleteRefreshText(bool schedule, bool list, const std::string& problem);
// Shows it, unless it is empty.
void ReportIncompleteRefresh(bool schedule, bool list, const std::string& problem);
