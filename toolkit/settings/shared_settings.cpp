#include "toolkit/settings/shared_settings.h"

#include "toolkit/settings/environment.h"
#include "toolkit/settings/registry.h"

#include <algorithm>

namespace vemlo {

namespace {

std::string SettingKey(const std::string& section) {
    return "SOFTWARE\\Vemlo\\" + g_ProgramKey + section;
}

// Blank: nothing but characters with codes 0 to 32.
bool IsBlank(const std::string& text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) <= 32; });
}

} // namespace

void WriteSharedSetting(const std::string& section, const std::string& valueName,
                        const std::string& value) {
    const auto key = SettingKey(section);
    const bool userOk = RegWriteString(RegRoot::CurrentUser, key, valueName, value);
    const bool machineOk = RegWriteString(RegRoot::LocalMachine, key, valueName, value);
    if (userOk && !machineOk) {
        RegWriteString(RegRoot::CurrentUser, "SOFTWARE\\Vemlo\\ERROR_WRITING_TO_LOCAL_MACHINE",
                       "ErrorMsg", g_LastRegistryError);
    }
}

std::string ReadSharedSetting(const std::string& section, const std::string& valueName) {
    const auto key = SettingKey(section);
    auto result = RegReadString(RegRoot::CurrentUser, key, valueName);
    if (IsBlank(result)) {
        result = RegReadString(RegRoot::LocalMachine, key, valueName);
    }
    return IsBlank(result) ? "ERROR" : result;
}

} // namespace vemlo
