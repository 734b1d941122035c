#pragma once

#include "toolkit/settings/opened_key.h"
#include "toolkit/settings/registry.h"

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <string>

// The reads of the store that list and export share, and how vemlo-reg reports what failed.

// What names and values are read with: the longest storable text and its terminating zero.
inline constexpr std::size_t kRegUnits = platform::kMaxTextUnits + 1;

// Says on err, on one line, what was not done and why; returns the exit code of a store failure.
int RegStoreFailed(std::ostream& err, const std::string& what, const std::string& why);

// Opens the key into opened. When it cannot, says so on err and returns the exit code: an absent
// key is a failed command, anything else a store failure.
int OpenRegKey(vemlo::RegRoot root, const std::string& key, vemlo::OpenedKey& opened,
               std::ostream& err);

// Hands each value of the open key, its name ("" for the default value) and text, to take, in the
// store's order. kNoMoreItems when all were read, else the status that stopped the walk.
platform::Status
EachRegValue(platform::KeyHandle key,
             const std::function<void(const std::string& name, const std::string& value)>& take);

// The same for the names of the open key's sub-keys.
platform::Status EachRegSubKey(platform::KeyHandle key,
                               const std::function<void(const std::string& name)>& take);
