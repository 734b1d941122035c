#pragma once

#include "platform/settings_store.h"
#include "toolkit/toolkit_platform.h"

#include <utility>

namespace vemlo {

// A key of the toolkit's settings store, closed when the scope that opened it ends, however it
// ends. Moving hands the key on; the moved-from one closes nothing.
class OpenedKey {
public:
    OpenedKey() = default;
    OpenedKey(OpenedKey&& other) noexcept
        : key_(std::exchange(other.key_, 0)) {}
    OpenedKey(const OpenedKey&) = delete;
    OpenedKey& operator=(const OpenedKey&) = delete;
    OpenedKey& operator=(OpenedKey&&) = delete;
    ~OpenedKey() {
        if (key_) {
            SettingsStore().closeKey(key_);
        }
    }
    // For the store's call that opens the key.
    platform::KeyHandle& handle() { return key_; }
    platform::KeyHandle get() const { return key_; }

private:
    platform::KeyHandle key_ = 0;
};

} // namespace vemlo
