#include "toolkit/toolkit_platform.h"

#include <cstddef>
#include <stdexcept>

namespace vemlo {

namespace {

ToolkitPlatform g_Platform;

template <typename... Fields>
concept FilledByPosition = requires(Fields... fields) {
    ToolkitPlatform{fields...};
};
static_assert(!FilledByPosition<platform::SettingsStore*, platform::MessageBoxes*, std::nullptr_t>);
static_assert(!FilledByPosition<std::nullptr_t>);

template <typename Service> Service& Required(Service* service, const char* name) {
    if (!service) {
        throw std::logic_error(std::string("The toolkit has no ") + name + " set up");
    }
    return *service;
}

} // namespace

void UseToolkitPlatform(const ToolkitPlatform& services) {
    g_Platform = services;
}

const ToolkitPlatform& CurrentToolkitPlatform() {
    return g_Platform;
}

platform::SettingsStore& SettingsStore() {
    return Required(g_Platform.settingsStore, "settings store");
}

platform::MessageBoxes& MessageBoxes() {
    return Required(g_Platform.messageBoxes, "message boxes");
}

platform::WindowMessages& WindowMessages() {
    return Required(g_Platform.windowMessages, "window messages");
}

platform::Clock& Clock() {
    return Required(g_Platform.clock, "clock");
}

platform::ProcessEnd& ProcessEnd() {
    return Required(g_Platform.processEnd, "process end");
}

TApplicationObject& Application() {
    return Required(g_Platform.application, "application object");
}

platform::ShellFolders& ShellFolders() {
    return Required(g_Platform.shellFolders, "shell folders");
}

platform::FileSystem& FileSystem() {
    return Required(g_Platform.fileSystem, "file system");
}

platform::ServiceManager& ServiceManager() {
    return Required(g_Platform.serviceManager, "service manager");
}

platform::RegionalSettings& RegionalSettings() {
    return Required(g_Platform.regionalSettings, "regional settings");
}

platform::ShellOpener& ShellOpener() {
    return Required(g_Platform.shellOpener, "shell opener");
}

platform::FolderBrowser& FolderBrowser() {
    return Required(g_Platform.folderBrowser, "folder browser");
}

platform::NetworkNames& NetworkNames() {
    return Required(g_Platform.networkNames, "network names");
}

} // namespace vemlo
