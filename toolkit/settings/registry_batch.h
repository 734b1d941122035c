#pragma once

#include "toolkit/settings/registry.h"

namespace vemlo {

// The registry writes made to one root while it lives are stored together: others see all of
// them, at the end, or none. Batches nest; the outermost one stores. Each write keeps its own
// result. Keep a batch short and never open across user interaction: it holds the hive's write
// lock.
//
//     {
//         vemlo::RegistryBatch batch(vemlo::RegRoot::LocalMachine);
//         ... RegWriteString, DeleteRegKey ...
//         if (!batch.end()) { /* nothing of it was stored */ }
//     }
class RegistryBatch {
public:
    explicit RegistryBatch(RegRoot root);
    ~RegistryBatch();
    RegistryBatch(const RegistryBatch&) = delete;
    RegistryBatch& operator=(const RegistryBatch&) = delete;

    // Ends the batch now (the destructor then does nothing); false when it could not be stored.
    bool end();

private:
    RegRoot root_;
    bool begun_;
};

} // namespace vemlo
