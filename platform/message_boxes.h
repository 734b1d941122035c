#pragma once

#include <optional>
#include <string>

namespace platform {

enum class BoxKind { Information, Warning, Confirmation, Error };
enum class BoxButtons { Ok, YesNo };

// The platform's standard dialog results.
inline constexpr int kBoxOk = 1;
inline constexpr int kBoxYes = 6;
inline constexpr int kBoxNo = 7;

// A modal message box. A carriage return in the text breaks a line; two separate paragraphs.
struct BoxRequest {
    BoxKind kind = BoxKind::Information;
    std::string title; // empty: the standard title of the kind
    std::string text;
    BoxButtons buttons = BoxButtons::Ok;
    int defaultButton = kBoxOk;
};

struct PromptRequest {
    std::string caption;
    std::string label;
    std::string text;
};

// Modal boxes and the text prompt; each call returns when the user has closed the box.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // The code of the button that closed the box.
    virtual int show(const BoxRequest& request) = 0;
    // The edited text when the user confirmed, nothing when cancelled.
    virtual std::optional<std::string> prompt(const PromptRequest& request) = 0;
};

} // namespace platform
