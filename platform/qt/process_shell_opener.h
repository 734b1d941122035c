#pragma once

#include "platform/shell_opener.h"

namespace platform {

// Opens data link files (".udl" in any case) in the data link editor and every other file with
// xdg-open, each as a detached process given the file's absolute path, byte for byte, as its one
// argument: no shell, no command line built from text.
class ProcessShellOpener final : public ShellOpener {
public:
    explicit ProcessShellOpener(std::string dataLinkEditor);

    bool open(const std::string& file, const std::string& workingFolder) override;

private:
    std::string dataLinkEditor_;
};

} // namespace platform
