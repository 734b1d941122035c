#include "toolkit/settings/registry_batch.h"

#include "platform/message_boxes.h"
#include "platform/store_deadline.h"
#include "platform/window_messages.h"
#include "toolkit/desktop/progress_signalling.h"
#include "toolkit/settings/refused_writes.h"
#include "toolkit/settings/store_failures.h"
#include "toolkit/toolkit_platform.h"

#include <exception>
#include <vector>

namespace vemlo {

namespace {

// Whether an outer write batch collects the boxes already.
bool g_Collecting = false;

} // namespace

// Stands in for the toolkit's boxes while a write batch holds the lock; a question gets its
// default answer, since nothing may wait for the user then. The progress application is told
// before each box is really shown, after the batch: until then no window of it is found, so the
// lock is never held over its wait.
class CollectedBoxes final : public platform::MessageBoxes, public platform::WindowMessages {
public:
    CollectedBoxes()
        : services_(CurrentToolkitPlatform()) {
        ToolkitPlatform collecting = services_;
        collecting.messageBoxes = this;
        if (services_.windowMessages) {
            collecting.windowMessages = this;
        }
        UseToolkitPlatform(collecting);
        g_Collecting = true;
    }
    CollectedBoxes(const CollectedBoxes&) = delete;
    CollectedBoxes& operator=(const CollectedBoxes&) = delete;
    ~CollectedBoxes() override { restore(); }

    int show(const platform::BoxRequest& request) override {
        requests_.push_back(request);
        return request.defaultButton;
    }
    std::optional<std::string> prompt(const platform::PromptRequest&) override {
        return std::nullopt;
    }

    std::uint16_t registerWindowMessage(const std::string& name) override {
        return services_.windowMessages->registerWindowMessage(name);
    }
    platform::WindowRef findWindow(const std::string&) override { return {}; }
    std::int64_t sendMessage(const platform::WindowRef& window, std::uint32_t message,
                             std::uint64_t wParam, std::int64_t lParam) override {
        return services_.windowMessages->sendMessage(window, message, wParam, lParam);
    }
    std::uint64_t applicationWindow() override {
        return services_.windowMessages->applicationWindow();
    }

    void restore() {
        if (g_Collecting) {
            UseToolkitPlatform(services_);
            g_Collecting = false;
        }
    }
    // Shows what was collected with the toolkit's own boxes.
    void showAll() {
        restore();
        auto requests = std::move(requests_);
        requests_.clear();
        for (const auto& request : requests) {
            if (services_.windowMessages) {
                DeactivateProgressApp();
            }
            vemlo::MessageBoxes().show(request);
        }
    }

private:
    ToolkitPlatform services_;
    std::vector<platform::BoxRequest> requests_;
};

RegistryBatch::RegistryBatch(RegRoot root, platform::BatchKind kind)
    : root_(root)
    , begun_(false) {
    auto& store = SettingsStore();
    const auto status = [&] {
        const platform::StoreDeadline deadline;
        return store.beginBatch(HiveOf(root), kind);
    }();
    begun_ = status == platform::kSuccess;
    if (!begun_) {
        problem_ = store.userMessageFor(status);
        NoteWriteFailure(store.messageFor(status));
        if (kind == platform::BatchKind::Write) {
            refused_ = std::make_unique<RefusedWrites>(HiveOf(root), status);
        }
    }
    if (begun_ && kind == platform::BatchKind::Write && !g_Collecting &&
        CurrentToolkitPlatform().messageBoxes) {
        collected_ = std::make_unique<CollectedBoxes>();
    }
}

// Code that wants the errors of the collected boxes calls end() itself; a destructor cannot
// pass them on.
RegistryBatch::~RegistryBatch() {
    try {
        end();
    } catch (const std::exception&) {
    }
}

bool RegistryBatch::end() {
    return finish(false);
}

void RegistryBatch::cancel() {
    finish(true);
}

bool RegistryBatch::finish(bool cancel) {
    if (!begun_) {
        refused_.reset();
        return false;
    }
    begun_ = false;
    auto& store = SettingsStore();
    const auto status = cancel ? store.cancelBatch(HiveOf(root_)) : store.endBatch(HiveOf(root_));
    if (status != platform::kSuccess) {
        NoteWriteFailure(store.messageFor(status));
        problem_ = store.userMessageFor(status);
    }
    if (collected_) {
        collected_->showAll();
        collected_.reset();
    }
    return status == platform::kSuccess;
}

} // namespace vemlo
