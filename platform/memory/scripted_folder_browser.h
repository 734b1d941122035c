#pragma once

#include "platform/folder_browser.h"

#include <deque>
#include <functional>
#include <vector>

namespace platform {

// Records every request and answers as the test has told it, so no dialog ever opens. Without an
// answer left the dialog is cancelled.
class ScriptedFolderBrowser final : public FolderBrowser {
public:
    std::optional<std::string> browse(const FolderBrowseRequest& request) override {
        requests_.push_back(request);
        if (answers_.empty()) {
            return std::nullopt;
        }
        auto answer = answers_.front();
        answers_.pop_front();
        return answer;
    }

    // The folder the user chooses next; nothing means cancelled.
    void answerNext(std::optional<std::string> folder) { answers_.push_back(std::move(folder)); }
    const std::vector<FolderBrowseRequest>& requests() const { return requests_; }

private:
    std::deque<std::optional<std::string>> answers_;
    std::vector<FolderBrowseRequest> requests_;
};

} // namespace platform
