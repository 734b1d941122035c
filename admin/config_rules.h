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

// Why a list may not be saved, checked in this order, before anything is computed or written:
// a configuration without a name would end the stored list at its slot and hide every
// configuration after it from the service; a value the store does not take would be lost while
// the user believes it saved (a name lost so ends the list too). The configuration and field to
// correct, and the message, which names the field by its caption.
struct ConfigRefusal {
    int index = 0;
    ConfigField field = ConfigField::Name;
    std::string message;
};
std::optional<ConfigRefusal> RefusalBeforeSave(const TLumraConfigs& configs);

} // namespace lumra
