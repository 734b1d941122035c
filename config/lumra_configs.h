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
    // A read that fails (a locked or broken hive) ends the list early: the load is then
    // incomplete, keeps what it read, and LoadProblem says why.
    void Load();
    // Stores the list and removes the stored slots that follow it. "FileFormat" is left as it is.
    // After an incomplete Load it writes and deletes nothing, since the slots it did not read
    // would be lost, and returns false. The writes run in one write batch of the machine hive
    // (others see the old list or the new one, never a mix); false, with SaveProblem, when the
    // batch could not be stored: nothing of it was then.
    bool Save();
    int Count() const;

    // Whether the last Load read the whole stored list (true for a list never loaded).
    bool LoadComplete() const { return loadProblem.empty(); }
    // Why the last Load was incomplete, for the user; "" when it was complete.
    const std::string& LoadProblem() const { return loadProblem; }
    // Why the last Save stored nothing, for the user; "" when it stored the list.
    const std::string& SaveProblem() const { return saveProblem; }
    // The values the last Save wrote that were not stored, as "Configurations\Config-n\Value"; the
    // others were.
    const std::vector<std::string>& FailedWrites() const { return failedWrites; }

private:
    void CheckIndex(int index) const;

    std::vector<std::unique_ptr<TLumraConfig>> configs;
    std::string g_ConfigPath;
    std::string loadProblem;
    std::string saveProblem;
    std::vector<std::string> failedWrites;
};

} // namespace lumra
