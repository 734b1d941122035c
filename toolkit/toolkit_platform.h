#pragma once

namespace platform {
class SettingsStore;
class MessageBoxes;
class WindowMessages;
class Clock;
class ProcessEnd;
class ShellFolders;
class FileSystem;
class ServiceManager;
class RegionalSettings;
class ShellOpener;
class FolderBrowser;
class NetworkNames;
} // namespace platform

namespace vemlo {

struct TApplicationObject;

// What the toolkit reaches the operating system through. The program sets it up once at start;
// tests hand in the in-memory twins. Fill it by name only ({.settingsStore = &store, ...}): the
// leading tag takes the first positional initialiser and accepts none, so a list by position,
// which a reordered field would wire to the wrong service without a word, does not compile.
struct ToolkitPlatform {
    struct ByNameOnly {
        explicit ByNameOnly() = default;
    };
    ByNameOnly byNameOnly{};
    platform::SettingsStore* settingsStore = nullptr;
    platform::MessageBoxes* messageBoxes = nullptr;
    platform::WindowMessages* windowMessages = nullptr;
    platform::Clock* clock = nullptr;
    platform::ProcessEnd* processEnd = nullptr;
    // The forms and data modules whose connections the toolkit keeps usable across a suspend.
    TApplicationObject* application = nullptr;
    platform::ShellFolders* shellFolders = nullptr;
    platform::FileSystem* fileSystem = nullptr;
    platform::ServiceManager* serviceManager = nullptr;
    platform::RegionalSettings* regionalSettings = nullptr;
    platform::ShellOpener* shellOpener = nullptr;
    platform::FolderBrowser* folderBrowser = nullptr;
    platform::NetworkNames* networkNames = nullptr;
};

void UseToolkitPlatform(const ToolkitPlatform& services);
// What the toolkit works through now, so that a part of it can stand in for one service a while.
const ToolkitPlatform& CurrentToolkitPlatform();

// Each throws std::logic_error when the program has not set the service up.
platform::SettingsStore& SettingsStore();
platform::MessageBoxes& MessageBoxes();
platform::WindowMessages& WindowMessages();
platform::Clock& Clock();
platform::ProcessEnd& ProcessEnd();
TApplicationObject& Application();
platform::ShellFolders& ShellFolders();
platform::FileSystem& FileSystem();
platform::ServiceManager& ServiceManager();
platform::RegionalSettings& RegionalSettings();
platform::ShellOpener& ShellOpener();
platform::FolderBrowser& FolderBrowser();
platform::NetworkNames& NetworkNames();

} // namespace vemlo
