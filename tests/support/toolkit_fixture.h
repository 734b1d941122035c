#pragma once

#include "platform/memory/memory_file_system.h"
#include "platform/memory/memory_settings_store.h"
#include "platform/memory/memory_shell_folders.h"
#include "platform/memory/recording_process_end.h"
#include "platform/memory/recording_shell_opener.h"
#include "platform/memory/recording_window_messages.h"
#include "platform/memory/scripted_message_boxes.h"
#include "platform/memory/set_clock.h"
#include "toolkit/dialogs/application_object.h"

#include <filesystem>
#include <string>

namespace testing_support {

// The toolkit wired to its in-memory twins for one test; the previous wiring is restored after.
class ToolkitTwins {
public:
    ToolkitTwins();
    ~ToolkitTwins();
    ToolkitTwins(const ToolkitTwins&) = delete;
    ToolkitTwins& operator=(const ToolkitTwins&) = delete;

    platform::MemorySettingsStore store;
    platform::ScriptedMessageBoxes boxes;
    platform::RecordingWindowMessages messages;
    platform::SetClock clock;
    platform::RecordingProcessEnd processEnd;
    vemlo::TApplicationObject application;
    platform::MemoryShellFolders shellFolders;
    platform::MemoryFileSystem files;
    platform::RecordingShellOpener shellOpener;
};

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// Sets an environment variable of the test process; nullptr unsets it.
void SetEnvironment(const char* name, const char* value);

// The whole content of a file, byte for byte.
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

} // namespace testing_support
