#pragma once

#include "toolkit/dataproviders/data_provider_selection.h"

#include <deque>
#include <vector>

namespace vemlo {

// Answers as the test has told it, in order, and records the value names it was asked with.
// Without an answer left it returns what a cancelled dialog would: the file-name part of
// g_DefaultDataProvider.
class ScriptedDataProviderSelection final : public DataProviderSelection {
public:
    std::string SelectDataProvider(const std::string& valueName) override;

    void answerNext(std::string fileName) { answers_.push_back(std::move(fileName)); }
    const std::vector<std::string>& asked() const { return asked_; }

private:
    std::deque<std::string> answers_;
    std::vector<std::string> asked_;
};

} // namespace vemlo
