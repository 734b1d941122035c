#pragma once

#include "toolkit/settings/registry.h"

#include <string>

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

    // Whether the batch could begin; when not, writes made meanwhile are stored one by one.
    bool begun() const { return begun_; }
    // Ends the batch now (the destructor then does nothing); false when it could not be stored.
    bool end();
    // Why the batch could not begin or be stored, for the user (Swedish); "" when it could.
    const std::string& problem() const { return problem_; }

private:
    RegRoot root_;
    bool begun_ = false;
    std::string problem_;
};

} // namespace vemlo
