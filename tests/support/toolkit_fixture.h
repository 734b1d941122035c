#pragma once

#include "platform/memory/fixed_regional_settings.h"
#include "platform/memory/memory_file_system.h"
#include "platform/memory/memory_settings_store.h"
#include "platform/memory/memory_shell_folders.h"
#include "platform/memory/recording_process_end.h"
#include "platform/memory/recording_shell_opener.h"
#include "platform/memory/recording_window_messages.h"
#include "platform/memory/scripted_folder_browser.h"
#include "platform/memory/scripted_message_boxes.h"
#include "platform/memory/set_clock.h"
#include "platform/memory/simulated_service_manager.h"
#include "platform/memory/table_network_names.h"
#include "toolkit/dialogs/application_object.h"
#include "toolkit/toolkit_platform.h"

#include <filesystem>
#include <string>

namespace testing_support {

// The toolkit's wiring for one scope: what wire() sets holds until the end of the scope, which
// puts back the wiring from before it.
class WiredToolkit {
public:
    WiredToolkit();
    explicit WiredToolkit(const vemlo::ToolkitPlatform& services);
    ~WiredToolkit();
    WiredToolkit(const WiredToolkit&) = delete;
    WiredToolkit& operator=(const WiredToolkit&) = delete;

    void wire(const vemlo::ToolkitPlatform& services);

private:
    vemlo::ToolkitPlatform previous_;
};

// The toolkit wired to its in-memory twins for one test; the previous wiring is restored after.
class ToolkitTwins {
public:
    ToolkitTwins();
    ToolkitTwins(const ToolkitTwins&) = delete;
    ToolkitTwins& operator=(const ToolkitTwins&) = delete;

    // The twins as the toolkit's services, for a test that swaps one of them.
    vemlo::ToolkitPlatform wiring();
    // Wires services in place of the twins until the twins go: wiring() with a real backend in
    // place of one twin, for example.
    void wire(const vemlo::ToolkitPlatform& services);
    // Wires the twins with another store, a real hive for example.
    void useStore(platform::SettingsStore& other);

    platform::MemorySettingsStore store;
    platform::ScriptedMessageBoxes boxes;
    platform::RecordingWindowMessages messages;
    platform::SetClock clock;
    platform::RecordingProcessEnd processEnd;
    vemlo::TApplicationObject application;
    platform::MemoryShellFolders shellFolders;
    platform::MemoryFileSystem files;
    platform::SimulatedServiceManager services;
    platform::FixedRegionalSettings regional;
    platform::RecordingShellOpener shellOpener;
    platform::ScriptedFolderBrowser folders;
    platform::TableNetworkNames networkNames;

private:
    // Last, so that the twins are there before they are wired.
    WiredToolkit wired_;
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
