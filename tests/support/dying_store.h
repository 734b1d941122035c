#pragma once

#include "tests/support/forwarding_store.h"

#include <unistd.h>

namespace testing_support {

// Forwards to a store and ends the process, as a kill would, at the given call of a kind.
class DyingStore final : public ForwardingStore {
public:
    enum class At { SetValue, DeleteSubKey };
    DyingStore(platform::SettingsStore& store, At at, int dieAt)
        : ForwardingStore(store)
        , at_(at)
        , dieAt_(dieAt) {}
    platform::Status setValue(platform::KeyHandle k, const std::string& n,
                              const std::string& v) override {
        dieAt(At::SetValue);
        return ForwardingStore::setValue(k, n, v);
    }
    platform::Status deleteSubKey(platform::KeyHandle k, const std::string& n) override {
        dieAt(At::DeleteSubKey);
        return ForwardingStore::deleteSubKey(k, n);
    }

private:
    void dieAt(At at) {
        if (at == at_ && ++calls_ == dieAt_) {
            ::_exit(9);
        }
    }

    At at_;
    int dieAt_;
    int calls_ = 0;
};

} // namespace testing_support
