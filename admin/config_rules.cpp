#include "admin/config_rules.h"

#include "admin/window_texts.h"
#include "platform/store_text.h"

#include <array>

namespace lumra {

namespace {

constexpr std::array kFields = {ConfigField::Name, ConfigField::DataProvider,
                                ConfigField::ExportFolder, ConfigField::ExportFilename};

} // namespace

const char* CaptionOf(ConfigField field) {
    switch (field) {
    case ConfigField::Name:
        return kCaptionConfigName;
    case ConfigField::DataProvider:
        return kCaptionDataProvider;
    case ConfigField::ExportFolder:
        return kCaptionExportFolder;
    case ConfigField::ExportFilename:
        break;
    }
    return kCaptionExportFilename;
}

std::string TLumraConfig::*MemberOf(ConfigField field) {
    switch (field) {
    case ConfigField::Name:
        return &TLumraConfig::name;
    case ConfigField::DataProvider:
        return &TLumraConfig::dataprovider;
    case ConfigField::ExportFolder:
        return &TLumraConfig::exportPathBokforing;
    case ConfigField::ExportFilename:
        break;
    }
    return &TLumraConfig::exportFilename;
}

std::optional<ConfigRefusal> RefusalBeforeSave(const TLumraConfigs& configs) {
    for (int i = 0; i < configs.Count(); ++i) {
        if (configs.GetItem(i).name.empty()) {
            return ConfigRefusal{i, ConfigField::Name,
                                 "Konfiguration nummer " + std::to_string(i + 1) +
                                     " saknar namn. Ange ett namn innan du sparar."};
        }
    }
    for (int i = 0; i < configs.Count(); ++i) {
        for (const auto field : kFields) {
            if (!platform::IsStorableText(configs.GetItem(i).*MemberOf(field))) {
                return ConfigRefusal{
                    i, field,
                    "Fältet \"" + std::string(CaptionOf(field)) + "\" i konfiguration nummer " +
                        std::to_string(i + 1) + " är längre än " +
                        std::to_string(platform::kMaxTextUnits) +
                        " tecken eller innehåller tecken som inte kan sparas. Ändra det innan du "
                        "sparar; inget har sparats."};
            }
        }
    }
    return std::nullopt;
}

} // namespace lumra
