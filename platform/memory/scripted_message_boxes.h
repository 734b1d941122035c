#pragma once

#include "platform/message_boxes.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// Records every box and answers as the test has told it, so no window ever opens.
class ScriptedMessageBoxes final : public MessageBoxes {
public:
    int show(const BoxRequest& request) override;
    std::optional<std::string> prompt(const PromptRequest& request) override;

    // Answers for the coming boxes, in order; without one a box is closed by its default button.
    void answerNext(int button) { answers_.push_back(button); }
    // Answers for the coming prompts, in order; nothing means cancelled. Without one: cancelled.
    void answerNextPrompt(std::optional<std::string> text) { promptAnswers_.push_back(text); }
    // Runs as each box opens, before it is answered (to observe what happened first).
    void onShow(std::function<void(const BoxRequest&)> hook) { onShow_ = std::move(hook); }

    const std::vector<BoxRequest>& shown() const { return shown_; }
    // The texts of the boxes shown, in order.
    std::vector<std::string> shownTexts() const {
        std::vector<std::string> texts;
        for (const auto& box : shown_) {
            texts.push_back(box.text);
        }
        return texts;
    }
    const std::vector<PromptRequest>& prompted() const { return prompted_; }
    // Forgets what was shown, the answers not yet given and the hook.
    void clear();

private:
    std::deque<int> answers_;
    std::deque<std::optional<std::string>> promptAnswers_;
    std::function<void(const BoxRequest&)> onShow_;
    std::vector<BoxRequest> shown_;
    std::vector<PromptRequest> prompted_;
};

} // namespace platform
