#pragma once

#include "platform/message_boxes.h"

#include <algorithm>
#include <ostream>
#include <string>

namespace platform {

// Without a window, what the toolkit would show in a box goes to the error stream on one line,
// after the program's name; the default button answers.
class ConsoleMessageBoxes final : public MessageBoxes {
public:
    ConsoleMessageBoxes(std::string program, std::ostream& err)
        : program_(std::move(program))
        , err_(err) {}

    int show(const BoxRequest& request) override {
        auto text = request.text;
        std::replace(text.begin(), text.end(), '\r', ' ');
        err_ << program_ << ": " << text << "\n";
        return request.defaultButton;
    }
    std::optional<std::string> prompt(const PromptRequest&) override { return std::nullopt; }

private:
    std::string program_;
    std::ostream& err_;
};

} // namespace platform
