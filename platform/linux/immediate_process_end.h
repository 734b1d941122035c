#pragma once

#include "platform/process_end.h"

namespace platform {

// Flushes the standard streams and leaves the process with the code, skipping every handler that
// would run at a normal exit.
class ImmediateProcessEnd final : public ProcessEnd {
public:
    [[noreturn]] void terminate(int exitCode) override;
};

} // namespace platform
