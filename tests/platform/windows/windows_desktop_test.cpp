#include "platform/windows/wide_text.h"
#include "platform/windows/windows_shell_folders.h"
#include "platform/windows/windows_window_messages.h"
#include "tests/support/toolkit_fixture.h"
#include "toolkit/desktop/progress_signalling.h"

#include <atomic>
#include <gtest/gtest.h>
#include <set>
#include <thread>
#include <windows.h>

namespace {

using namespace std::chrono_literals;

struct FolderCase {
    const char* name;
    int folder;
    // How the folder's path ends under Wine's default prefix.
    const char* ending;
    friend void PrintTo(const FolderCase& c, std::ostream* os) { *os << c.name; }
};

class ShellFolderTest : public ::testing::TestWithParam<FolderCase> {};

TEST_P(ShellFolderTest, IsAnExistingAbsoluteFolderWithoutTrailingSeparator) {
    const auto path = platform::WindowsShellFolders().specialFolderPath(GetParam().folder);
    ASSERT_GT(path.size(), 3u);
    EXPECT_EQ(path.substr(1, 2), ":\\");
    EXPECT_NE(path.back(), '\\');
    EXPECT_TRUE(path.ends_with(GetParam().ending)) << path;
    const DWORD attributes = GetFileAttributesW(platform::Widen(path)->c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

constexpr FolderCase kFolders[] = {
    {"AppData", platform::kFolderAppData, "\\AppData\\Roaming"},
    {"ProgramFilesCommon", platform::kFolderProgramFilesCommon, "\\Common Files"},
};
INSTANTIATE_TEST_SUITE_P(Folders, ShellFolderTest, ::testing::ValuesIn(kFolders),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ShellFolders, AnUnknownFolderHasNoPath) {
    EXPECT_EQ(platform::WindowsShellFolders().specialFolderPath(0x7FFF), "");
}

// A top-level window of the progress application's class on a thread of its own, which answers
// every message with 42 and records what it got; or, when hung, never looks at its queue.
class ProgressWindow {
public:
    explicit ProgressWindow(bool hung)
        : thread_([this, hung] { run(hung); }) {
        while (!window_.load()) {
            std::this_thread::sleep_for(1ms);
        }
    }
    ~ProgressWindow() {
        released_ = true;
        PostMessageW(window_, WM_CLOSE, 0, 0);
        thread_.join();
    }
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    UINT lastMessage() const { return lastMessage_; }
    WPARAM lastWParam() const { return lastWParam_; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<ProgressWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && message >= 0xC000) {
            self->lastMessage_ = message;
            self->lastWParam_ = wParam;
            return 42;
        }
        if (message == WM_CLOSE) {
            DestroyWindow(window);
            PostQuitMessage(0);
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    void run(bool hung) {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"TProgressFormQ7";
        RegisterClassW(&windowClass);
        HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 10,
                                      10, nullptr, nullptr, windowClass.hInstance, nullptr);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        window_ = window;
        while (hung && !released_) {
            std::this_thread::sleep_for(5ms);
        }
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            DispatchMessageW(&message);
        }
        UnregisterClassW(windowClass.lpszClassName, windowClass.hInstance);
    }

    std::atomic<HWND> window_{nullptr};
    std::atomic<bool> released_{false};
    std::atomic<UINT> lastMessage_{0};
    std::atomic<WPARAM> lastWParam_{0};
    std::thread thread_;
};

class WindowMessagesTest : public ::testing::Test {
protected:
    WindowMessagesTest() {
        auto wiring = twins.wiring();
        wiring.windowMessages = &messages;
        twins.wire(wiring);
    }

    testing_support::ToolkitTwins twins;
    platform::WindowsWindowMessages messages{0x1234, 300ms};
};

TEST_F(WindowMessagesTest, RegisteredNamesGetOneIdentifierEachWithoutRegardToCase) {
    vemlo::RegisterVemloMessages();
    std::set<std::uint16_t> identifiers;
    for (std::size_t i = 0; i < vemlo::kVemloMessageNames.size(); ++i) {
        const auto id = vemlo::VemloMessageId(static_cast<vemlo::VemloMessage>(i));
        EXPECT_GE(id, 0xC000);
        identifiers.insert(id);
    }
    EXPECT_EQ(identifiers.size(), vemlo::kVemloMessageNames.size());
    EXPECT_EQ(messages.registerWindowMessage("vl_activate_progressapp"),
              vemlo::VemloMessageId(vemlo::VemloMessage::ActivateProgressApp));
}

// One test for both progress windows: a window of that class in another test process would be
// found as well.
TEST_F(WindowMessagesTest, TheProgressApplicationIsToldToGoInactiveUnlessItHangs) {
    vemlo::RegisterVemloMessages();
    {
        ProgressWindow progress(false);
        EXPECT_NE(messages.findWindow("TProgressFormQ7"), "");
        vemlo::DeactivateProgressApp();
        EXPECT_EQ(progress.lastMessage(),
                  vemlo::VemloMessageId(vemlo::VemloMessage::InactivateProgressApp));
        EXPECT_EQ(progress.lastWParam(), 0x1234u);
        EXPECT_EQ(messages.sendMessage(messages.findWindow("TProgressFormQ7"), 0xC001, 0, 0), 42);
    }
    // A receiver that stopped answering costs the sender the bound, not for ever.
    ProgressWindow hung(true);
    const auto window = messages.findWindow("TProgressFormQ7");
    ASSERT_NE(window, "");
    EXPECT_EQ(messages.sendMessage(window, 0xC001, 0, 0), 0);
    vemlo::DeactivateProgressApp();
    EXPECT_EQ(hung.lastMessage(), 0u);
}

TEST_F(WindowMessagesTest, NothingIsFoundOrSentWithoutAWindow) {
    EXPECT_EQ(messages.findWindow("TNoSuchClass"), "");
    EXPECT_EQ(messages.sendMessage("", 0xC001, 0, 0), 0);
    EXPECT_EQ(messages.sendMessage("not a window", 0xC001, 0, 0), 0);
}

} // namespace
