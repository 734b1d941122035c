#include "config/lumra_configs.h"

#include "config/config_values.h"
#include "toolkit/settings/registry.h"
#include "toolkit/settings/registry_batch.h"
#include "toolkit/settings/store_failures.h"

#include <charconv>

namespace lumra {

namespace {

constexpr auto kMachine = vemlo::RegRoot::LocalMachine;

// Decimal integer text as the service writes it; 0 for anything else.
std::int32_t ToFileFormat(const std::string& text) {
    std::int32_t number = 0;
    const auto* end = text.data() + text.size();
    const auto [rest, error] = std::from_chars(text.data(), end, number);
    return error == std::errc() && rest == end ? number : 0;
}

std::string ReadSlot(const std::string& configPath, long long slot, std::string_view valueName) {
    return vemlo::RegReadString(kMachine, ConfigSlotKey(configPath, slot), std::string(valueName),
                                0);
}

} // namespace

EListError::EListError(int index)
    : std::out_of_range("List index out of bounds (" + std::to_string(index) + ")") {}

TLumraConfigs::TLumraConfigs()
    : g_ConfigPath(kServiceKey) {}

void TLumraConfigs::Clear() {
    configs.clear();
}

TLumraConfig& TLumraConfigs::Add() {
    auto item = std::make_unique<TLumraConfig>();
    item->name = std::string(kNewConfigNamePrefix) + std::to_string(Count());
    item->dataprovider = std::string(kDefaultDataProvider);
    configs.push_back(std::move(item));
    return *configs.back();
}

void TLumraConfigs::CheckIndex(int index) const {
    if (index < 0 || index >= Count()) {
        throw EListError(index);
    }
}

void TLumraConfigs::Delete(int index) {
    CheckIndex(index);
    configs.erase(configs.begin() + index);
}

TLumraConfig& TLumraConfigs::GetItem(int index) {
    CheckIndex(index);
    return *configs[static_cast<std::size_t>(index)];
}

const TLumraConfig& TLumraConfigs::GetItem(int index) const {
    CheckIndex(index);
    return *configs[static_cast<std::size_t>(index)];
}

void TLumraConfigs::Load() {
    Clear();
    loadProblem.clear();
    const vemlo::ReadFailureMark mark;
    // One consistent state of the list, never half of someone else's Save.
    vemlo::RegistryBatch batch(kMachine, platform::BatchKind::Read);
    for (long long slot = 0; !mark.failed(); ++slot) {
        auto name = ReadSlot(g_ConfigPath, slot, kValueName);
        if (name.empty()) {
            break;
        }
        auto& item = Add();
        item.name = std::move(name);
        item.dataprovider = ReadSlot(g_ConfigPath, slot, kValueDataProvider);
        item.exportPathBokforing = ReadSlot(g_ConfigPath, slot, kValueExportPathBokforing);
        item.fileFormat = ToFileFormat(ReadSlot(g_ConfigPath, slot, kValueFileFormat));
        item.exportFilename = ReadSlot(g_ConfigPath, slot, kValueExportFilename);
    }
    if (mark.failed()) {
        loadProblem = mark.message();
    }
}

bool TLumraConfigs::Save() {
    saveProblem.clear();
    failedWrites.clear();
    if (!LoadComplete()) {
        saveProblem = loadProblem;
        return false;
    }
    vemlo::RegistryBatch batch(kMachine);
    for (int i = 0; i < Count(); ++i) {
        const auto& item = *configs[static_cast<std::size_t>(i)];
        const auto key = ConfigSlotKey(g_ConfigPath, i);
        // Each write is tried whatever became of the ones before.
        const auto write = [&](std::string_view valueName, const std::string& value) {
            if (!vemlo::RegWriteString(kMachine, key, std::string(valueName), value)) {
                failedWrites.push_back(ConfigSlotKey("", i) + "\\" + std::string(valueName));
            }
        };
        write(kValueName, item.name);
        write(kValueDataProvider, item.dataprovider);
        write(kValueExportPathBokforing, item.exportPathBokforing);
        write(kValueExportFilename, item.exportFilename);
    }
    for (long long slot = Count(); !ReadSlot(g_ConfigPath, slot, kValueName).empty(); ++slot) {
        vemlo::DeleteRegKey(kMachine, ConfigSlotKey(g_ConfigPath, slot));
    }
    if (!batch.end()) {
        saveProblem = batch.problem();
        return false;
    }
    return true;
}

int TLumraConfigs::Count() const {
    return static_cast<int>(configs.size());
}

} // namespace lumra
