#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// The two roots of the settings store.
enum class Hive { User, Machine };

// An opened key; 0 is never a valid handle.
using KeyHandle = std::uint64_t;

// Status codes follow the platform registry's numbers, so a registry backend can pass its own
// codes through unchanged.
using Status = long;
inline constexpr Status kSuccess = 0;
inline constexpr Status kFileNotFound = 2;
inline constexpr Status kAccessDenied = 5;
inline constexpr Status kInvalidHandle = 6;
inline constexpr Status kInvalidParameter = 87;
inline constexpr Status kBusy = 170;
inline constexpr Status kMoreData = 234;
inline constexpr Status kNoMoreItems = 259;
inline constexpr Status kBadDatabase = 1009;
inline constexpr Status kRegistryIoFailed = 1016;
inline constexpr Status kKeyDeleted = 1018;

// A batch either writes (its writes are seen by others at once at its end, or not at all) or
// reads (its reads see the hive as it was at its first read: no half of another's batch).
enum class BatchKind { Read, Write };

// Longest key path, value name or value, in UTF-16 code units.
inline constexpr std::size_t kMaxTextUnits = 1024;
// Deepest key below a root: the deepest that a key path of kMaxTextUnits can name. Walks of a
// subtree refuse anything deeper, which only a damaged or crafted store can hold.
inline constexpr std::size_t kMaxKeyDepth = (kMaxTextUnits + 1) / 2;
// Longest name of one key, in UTF-16 code units; longer ones are refused on creation.
inline constexpr std::size_t kMaxKeyNameUnits = 255;

// The registry-like store that the settings toolkit works on. Names are backslash paths of
// components; text is UTF-8. Every call is complete in itself: nothing is held between calls but
// the handles the caller has opened.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // Opens a key for reading and writing, creating it and every missing key on its path.
    // openAccess asks that the keys created grant every user full access.
    virtual Status createKey(Hive hive, const std::string& path, bool openAccess,
                             KeyHandle& key) = 0;
    // Opens an existing key; fails with kFileNotFound when it does not exist.
    virtual Status openKey(Hive hive, const std::string& path, KeyHandle& key) = 0;
    // Opens an existing direct sub-key of an open key.
    virtual Status openSubKey(KeyHandle parent, const std::string& name, KeyHandle& key) = 0;
    // Copies a value into a buffer of bufferUnits UTF-16 units including the terminating zero;
    // kMoreData when it does not fit. An empty name reads the key's default value.
    virtual Status queryValue(KeyHandle key, const std::string& name, std::size_t bufferUnits,
                              std::string& value) = 0;
    virtual Status setValue(KeyHandle key, const std::string& name, const std::string& value) = 0;
    // The name of the value at the index (in name order), given buffers for its name (units with
    // terminator) and its data (bytes of UTF-16 with terminator); kNoMoreItems past the last value.
    virtual Status enumValue(KeyHandle key, std::size_t index, std::size_t nameUnits,
                             std::size_t dataBytes, std::string& name) = 0;
    virtual Status deleteValue(KeyHandle key, const std::string& name) = 0;
    // The name of the sub-key at the index (in name order); kNoMoreItems past the last one.
    virtual Status enumSubKey(KeyHandle key, std::size_t index, std::size_t nameUnits,
                              std::string& name) = 0;
    // Deletes a direct sub-key that has no sub-keys of its own, with its values.
    virtual Status deleteSubKey(KeyHandle key, const std::string& name) = 0;
    virtual void closeKey(KeyHandle key) = 0;

    // Building the open access list for machine-hive keys; 0 or the platform's error code.
    virtual Status initializeSecurityDescriptor() = 0;
    virtual Status setSecurityDescriptorDacl() = 0;

    // The system's message text for a status code returned by this store.
    virtual std::string messageFor(Status status) const = 0;
    // The same for the user, in Swedish, naming the file it concerns where there is one.
    virtual std::string userMessageFor(Status status) const = 0;
    // Why a hive cannot be used or written, for the user in Swedish, or "". A program reports
    // this once at its start; a store whose hives cannot fail that way has nothing to report.
    virtual std::string hiveProblemForUser(Hive) { return ""; }

    // A batch of one hive: what is written between beginBatch and the matching endBatch becomes
    // visible to others at once, at the outermost endBatch, or not at all; what is read in a read
    // batch is one consistent state of the hive. Batches nest (a read batch inside a write batch
    // is part of it; a write batch inside a read batch is refused with kInvalidParameter, and
    // so is a write). Each write inside keeps its own result; a failed one changes nothing. A
    // store without transactions takes both as no-ops. endBatch fails when a write batch could
    // not be stored.
    virtual Status beginBatch(Hive hive, BatchKind kind) = 0;
    virtual Status endBatch(Hive hive) = 0;
    // Ends the batch like endBatch, but the outermost one stores nothing of what it wrote.
    virtual Status cancelBatch(Hive hive) = 0;
};

} // namespace platform
