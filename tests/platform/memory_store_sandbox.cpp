#include "platform/memory/memory_settings_store.h"
#include "tests/platform/store_contract.h"
#include "tests/support/forwarding_store.h"

namespace testing_support {

namespace {

// The twin keeps its data in the object; each store opened works on the sandbox's one twin, as
// each run of the program works on the same files.
class MemorySandbox final : public StoreSandbox {
public:
    std::unique_ptr<platform::SettingsStore> open() override {
        return std::make_unique<ForwardingStore>(data_);
    }

private:
    platform::MemorySettingsStore data_;
};

} // namespace

StoreBackend MemoryBackend() {
    return {"Memory",
            []() -> std::unique_ptr<StoreSandbox> { return std::make_unique<MemorySandbox>(); },
            ListOrder::LowerFolded, ListOrder::LowerFolded};
}

} // namespace testing_support
