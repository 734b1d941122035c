#pragma once

#include "platform/settings_store.h"

#include <memory>
#include <string>
#include <vector>

namespace testing_support {

// The order in which a store lists the sub-keys or the values of a key.
enum class ListOrder {
    // By the names folded to lower case, so "_" comes before letters: the SQLite store, and
    // Wine's registry for both sub-keys and values.
    LowerFolded,
    // By the names in upper case, so letters come before "_": sub-keys in Windows' registry.
    UpperCased,
    // In the order they were first written: values in Windows' registry.
    Written,
};

// A store of one backend, empty at the start of a test and gone at its end.
class StoreSandbox {
public:
    virtual ~StoreSandbox() = default;
    // A new store object on the same data, as another run of the program would open it.
    virtual std::unique_ptr<platform::SettingsStore> open() = 0;
};

struct StoreBackend {
    const char* name;
    std::unique_ptr<StoreSandbox> (*make)();
    ListOrder keyOrder;
    ListOrder valueOrder;
};

// The backends of this platform that the contract suite runs against.
std::vector<StoreBackend> ContractBackends();
// The in-memory twin, which most tests run on and so keeps the same contract on every platform.
StoreBackend MemoryBackend();

} // namespace testing_support
