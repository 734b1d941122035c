#include "tests/support/toolkit_fixture.h"

#include "toolkit/settings/environment.h"
#include "toolkit/settings/registry.h"
#include "toolkit/toolkit_platform.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace testing_support {

ToolkitTwins::ToolkitTwins() {
    vemlo::UseToolkitPlatform(wiring());
    vemlo::g_LastRegistryError.clear();
    for (auto* variable : {&vemlo::g_ProgramPath, &vemlo::g_ProgramKey, &vemlo::g_DataLinksPath,
                           &vemlo::g_DefaultDataProvider}) {
        variable->clear();
    }
}

vemlo::ToolkitPlatform ToolkitTwins::wiring() {
    return {.settingsStore = &store,
            .messageBoxes = &boxes,
            .windowMessages = &messages,
            .clock = &clock,
            .processEnd = &processEnd,
            .application = &application,
            .shellFolders = &shellFolders,
            .fileSystem = &files,
            .serviceManager = &services,
            .regionalSettings = &regional,
            .shellOpener = &shellOpener,
            .folderBrowser = &folders,
            .networkNames = &networkNames};
}

void ToolkitTwins::useStore(platform::SettingsStore& other) {
    auto services = wiring();
    services.settingsStore = &other;
    vemlo::UseToolkitPlatform(services);
}

ToolkitTwins::~ToolkitTwins() {
    vemlo::UseToolkitPlatform({});
}

TempFolder::TempFolder() {
    auto pattern = (std::filesystem::temp_directory_path() / "vemlo-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

void SetEnvironment(const char* name, const char* value) {
    if (value) {
        ::setenv(name, value, 1);
    } else {
        ::unsetenv(name);
    }
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

} // namespace testing_support
