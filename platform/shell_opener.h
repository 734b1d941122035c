#pragma once

#include <string>

namespace platform {

// Opening a file with the program the desktop has for its kind, as "open" in a file manager.
class ShellOpener {
public:
    virtual ~ShellOpener() = default;
    // Starts that program for the file with the working folder given and returns at once, never
    // waiting for it; false when nothing could be started.
    virtual bool open(const std::string& file, const std::string& workingFolder) = 0;
};

} // namespace platform
