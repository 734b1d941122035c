#pragma once

#include "platform/settings_store.h"
#include "toolkit/settings/registry.h"

#include <memory>
#include <string>

namespace vemlo {

class CollectedBoxes;
class RefusedWrites;

// The registry calls made to one root while it lives run as one batch of that hive.
//
// A write batch (the default): others see all of its writes, at its end, or none; each write
// keeps its own result. Batches nest; the outermost one stores. It holds the hive's write lock,
// so keep it to milliseconds and never open across user interaction: the boxes that the
// toolkit shows meanwhile (for example DeleteRegKey's) are collected and shown, in their order,
// right after the outermost write batch has ended.
//
// A read batch: its reads see one state of the hive, never half of another's write batch.
//
//     {
//         vemlo::RegistryBatch batch(vemlo::RegRoot::LocalMachine);
//         ... RegWriteString, DeleteRegKey ...
//         if (!batch.end()) { /* nothing of it was stored: say so */ }
//     }
class RegistryBatch {
public:
    explicit RegistryBatch(RegRoot root, platform::BatchKind kind = platform::BatchKind::Write);
    ~RegistryBatch();
    RegistryBatch(const RegistryBatch&) = delete;
    RegistryBatch& operator=(const RegistryBatch&) = delete;

    // Whether the batch could begin. When a write batch could not, every write to its hive fails
    // at once while it lives, with the cause that kept it from beginning: nothing is stored.
    bool begun() const { return begun_; }
    // Ends the batch now (the destructor then does nothing); false when it could not be begun
    // or a write batch could not be stored.
    bool end();
    // Ends a write batch storing nothing of it (the destructor then does nothing).
    void cancel();
    // Why the batch could not be begun or stored, for the user (Swedish); "" when it could.
    const std::string& problem() const { return problem_; }

private:
    bool finish(bool cancel);

    RegRoot root_;
    bool begun_;
    std::string problem_;
    std::unique_ptr<CollectedBoxes> collected_;
    std::unique_ptr<RefusedWrites> refused_;
};

} // namespace vemlo
