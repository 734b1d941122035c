#pragma once

namespace platform {

// Ends the program at once with an exit code: no clean-up at exit runs, no window is asked.
class ProcessEnd {
public:
    virtual ~ProcessEnd() = default;
    virtual void terminate(int exitCode) = 0;
};

} // namespace platform
