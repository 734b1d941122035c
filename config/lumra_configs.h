#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace lumra {

// One export configuration.
class TLumraConfig {
public:
    std::string name;
    std::string dataprovider;
    std::string exportPathBokforing;
    std::string exportFilename;
    std::int32_t fileFormat = 0;
};

// The list's index error.
class EListError : public std::out_of_range {
public:
    explicit EListError(int index);
};

// The ordered list of export configurations and its storage in the machine hive, slot n of the
// list under the key "Configurations\Config-n".
class TLumraConfigs {
public:
    TLumraConfigs();

    void Clear();
    // Appends a configuration named "Config-" and the count before it; still owned by the list.
    TLumraConfig& Add();
    void Delete(int index);
    TLumraConfig& GetItem(int index);
    const TLumraConfig& GetItem(int index) const;
    // Replaces the contents with the stored list: the slots up to the first without a name.
    void Load();
    // Stores the list and removes the stored slots that follow it. "FileFormat" is left as it is.
    void Save() const;
    int Count() const;

private:
    void CheckIndex(int index) const;

    std::vector<std::unique_ptr<TLumraConfig>> configs;
    std::string g_ConfigPath;
};

} // namespace lumra
