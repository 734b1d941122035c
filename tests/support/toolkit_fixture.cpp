#include "tests/support/toolkit_fixture.h"

#include "toolkit/settings/environment.h"
#include "toolkit/settings/registry.h"
#include "toolkit/toolkit_platform.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace testing_support {

WiredToolkit::WiredToolkit()
    : previous_(vemlo::CurrentToolkitPlatform()) {}

WiredToolkit::WiredToolkit(const vemlo::ToolkitPlatform& services)
    : WiredToolkit() {
    wire(services);
}

WiredToolkit::~WiredToolkit() {
    vemlo::UseToolkitPlatform(previous_);
}

void WiredToolkit::wire(const vemlo::ToolkitPlatform& services) {
    vemlo::UseToolkitPlatform(services);
}

ToolkitTwins::ToolkitTwins()
    : wired_(wiring()) {
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

void ToolkitTwins::wire(const vemlo::ToolkitPlatform& services) {
    wired_.wire(services);
}

void ToolkitTwins::useStore(platform::SettingsStore& other) {
    auto services = wiring();
    services.settingsStore = &other;
    wire(services);
}

// A random name that nobody else has taken; creating it is the test, so two tests never share.
TempFolder::TempFolder() {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate = std::filesystem::temp_directory_path() /
                         ("vemlo-test-" + std::to_string(random()) + std::to_string(random()));
        std::error_code error;
        if (std::filesystem::create_directory(candidate, error)) {
            std::filesystem::permissions(candidate, std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::replace, error);
            path_ = std::move(candidate);
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

void SetEnvironment(const char* name, const char* value) {
#ifdef _WIN32
    // An empty value removes the variable.
    ::_putenv_s(name, value ? value : "");
#else
    if (value) {
        ::setenv(name, value, 1);
    } else {
        ::unsetenv(name);
    }
#endif
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

} // namespace testing_support
