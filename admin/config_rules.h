#pragma once

#include "config/lumra_configs.h"

#include <optional>
#include <string>

namespace lumra {

// The values of a configuration that the user edits.
enum class ConfigField { Name, DataProvider, ExportFolder, ExportFilename };

// The window's caption of a field.
const char* CaptionOf(ConfigField field);

// A configuration's member that holds a field's text.
std::string TLumraConfig::*MemberOf(ConfigField field);

// A configuration without a name would end the stored list at its slot and hide every
// configuration after it from the service: the index of the first, if any.
std::optional<int> FirstUnnamedConfig(const TLumraConfigs& configs);
std::string UnnamedConfigMessage(int index);

// A value the store does not take would be lost while the user believes it saved, and a name
// lost so would end the stored list at its slot: the first such value, if any.
struct UnstorableValue {
    int index = 0;
    ConfigField field = ConfigField::Name;
};
std::optional<UnstorableValue> FirstUnstorableValue(const TLumraConfigs& configs);
// The message names the field by its caption.
std::string UnstorableValueMessage(const UnstorableValue& value);

} // namespace lumra
