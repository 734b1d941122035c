#pragma once

#include "platform/shell_opener.h"

#include <functional>
#include <vector>

namespace platform {

// Records what would have been opened; starts nothing.
class RecordingShellOpener final : public ShellOpener {
public:
    struct Opened {
        std::string file;
        std::string workingFolder;
        friend bool operator==(const Opened&, const Opened&) = default;
    };

    bool open(const std::string& file, const std::string& workingFolder) override {
        opened_.push_back({file, workingFolder});
        if (onOpen_) {
            onOpen_(opened_.back());
        }
        return true;
    }

    const std::vector<Opened>& opened() const { return opened_; }
    // Runs as each file is opened (to observe what had happened by then).
    void onOpen(std::function<void(const Opened&)> hook) { onOpen_ = std::move(hook); }

private:
    std::vector<Opened> opened_;
    std::function<void(const Opened&)> onOpen_;
};

} // namespace platform
