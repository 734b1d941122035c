#include "platform/windows/registry_settings_store.h"
#include "tests/platform/store_contract.h"
#include "tests/platform/windows/runs_under_wine.h"

#include <random>
#include <windows.h>

namespace testing_support {

namespace {

// A key of its own in both hives of the registry, removed with everything below it at the end,
// so tests running at once never meet.
class RegistrySandbox final : public StoreSandbox {
public:
    RegistrySandbox()
        : base_(L"SOFTWARE\\VemloTests\\" + std::to_wstring(std::random_device()()) +
                std::to_wstring(GetCurrentProcessId())) {}
    ~RegistrySandbox() override {
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            RegDeleteTreeW(root, base_.c_str());
        }
    }
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;

    std::unique_ptr<platform::SettingsStore> open() override {
        return std::make_unique<platform::RegistrySettingsStore>(
            std::string(base_.begin(), base_.end()));
    }

private:
    std::wstring base_;
};

} // namespace

// Wine's registry sorts sub-keys and values alike; Windows' keeps values in the order written.
std::vector<StoreBackend> ContractBackends() {
    return {{"Registry",
             []() -> std::unique_ptr<StoreSandbox> { return std::make_unique<RegistrySandbox>(); },
             RunsUnderWine() ? ListOrder::LowerFolded : ListOrder::UpperCased,
             RunsUnderWine() ? ListOrder::LowerFolded : ListOrder::Written},
            MemoryBackend()};
}

} // namespace testing_support
