#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// A top-level window as the platform knows it; 0 for none.
using WindowHandle = std::uintptr_t;

// The folder dialog's flags, the shell's values; other bits are passed on and ignored.
inline constexpr std::uint32_t kBrowseOnlyFileSystemFolders = 1;
inline constexpr std::uint32_t kBrowseStatusText = 4;
inline constexpr std::uint32_t kBrowseEditBox = 16;
inline constexpr std::uint32_t kBrowseValidate = 32;
inline constexpr std::uint32_t kBrowseNewDialogStyle = 64;

struct FolderBrowseRequest {
    WindowHandle owner = 0;
    std::string title;
    // The folder to open on; empty for the dialog's own starting place.
    std::string initialFolder;
    std::uint32_t flags = 0;
};

// The platform's modal folder chooser.
class FolderBrowser {
public:
    virtual ~FolderBrowser() = default;
    // The chosen folder's path, as the platform gives it; nothing when the user cancelled or the
    // dialog could not be shown.
    virtual std::optional<std::string> browse(const FolderBrowseRequest& request) = 0;
};

} // namespace platform
