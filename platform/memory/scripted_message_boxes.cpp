#include "platform/memory/scripted_message_boxes.h"

namespace platform {

int ScriptedMessageBoxes::show(const BoxRequest& request) {
    shown_.push_back(request);
    if (onShow_) {
        onShow_(request);
    }
    if (answers_.empty()) {
        return request.defaultButton;
    }
    const int answer = answers_.front();
    answers_.pop_front();
    return answer;
}

std::optional<std::string> ScriptedMessageBoxes::prompt(const PromptRequest& request) {
    prompted_.push_back(request);
    if (promptAnswers_.empty()) {
        return std::nullopt;
    }
    auto answer = promptAnswers_.front();
    promptAnswers_.pop_front();
    return answer;
}

void ScriptedMessageBoxes::clear() {
    answers_.clear();
    promptAnswers_.clear();
    onShow_ = nullptr;
    shown_.clear();
    prompted_.clear();
}

} // namespace platform
