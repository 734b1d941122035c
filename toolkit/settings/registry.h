#pragma once

#include "platform/settings_store.h"

#include <cstdint>
#include <string>

namespace vemlo {

// The two roots, by the platform's numbers.
enum class RegRoot : std::uint32_t {
    CurrentUser = 0x80000001,
    LocalMachine = 0x80000002,
};

// The store's hive that holds a root's keys.
inline platform::Hive HiveOf(RegRoot root) {
    return root == RegRoot::CurrentUser ? platform::Hive::User : platform::Hive::Machine;
}

// The message text of the most recent failed key creation in RegWriteString; never cleared.
extern std::string g_LastRegistryError;

// Stores one string value, creating missing keys (in the machine hive open to every user).
// False when the value was not stored, or when a text is too long, holds a NUL or the key path is
// malformed. Throws std::runtime_error when the machine hive's access list cannot be built.
bool RegWriteString(RegRoot root, const std::string& keyPath, const std::string& valueName,
                    const std::string& value);

// The value's text; "" for an absent key, an absent or empty value, or any failure.
std::string RegReadString(RegRoot root, const std::string& keyPath, const std::string& valueName,
                          std::uint32_t extraRights = 0);

// Deletes the key with everything below it. A key path without a backslash keeps the key itself.
void DeleteRegKey(RegRoot root, const std::string& keyPath);

// Deletes every value and sub-key below an open key, depth first.
void ClearRegKey(platform::KeyHandle key);

// Deletes the key itself from its parent; true on success.
bool DeleteRegKeyFromParent(RegRoot root, const std::string& keyPath);

} // namespace vemlo
