#pragma once

#include "platform/process_end.h"

#include <vector>

namespace platform {

// Records the exit codes asked for; the test goes on running.
class RecordingProcessEnd final : public ProcessEnd {
public:
    void terminate(int exitCode) override { codes_.push_back(exitCode); }
    const std::vector<int>& codes() const { return codes_; }

private:
    std::vector<int> codes_;
};

} // namespace platform
