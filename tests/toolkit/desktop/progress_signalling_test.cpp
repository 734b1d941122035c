#include "platform/memory/recording_window_messages.h"
#include "platform/registered_messages.h"
#include "tests/support/toolkit_fixture.h"
#include "toolkit/desktop/progress_signalling.h"

#include <gtest/gtest.h>
#include <set>

namespace {

class ProgressSignallingTest : public ::testing::Test {
protected:
    void SetUp() override { vemlo::RegisterVemloMessages(); }
    void TearDown() override { vemlo::ReleaseVemloMessages(); }

    testing_support::ToolkitTwins twins;
    platform::RecordingWindowMessages& messages = twins.messages;
};

TEST_F(ProgressSignallingTest, RegistersTheSixNamesInOrder) {
    EXPECT_EQ(messages.registered(),
              (std::vector<std::string>{"VL_SET_ACTIVE_CAPTION", "VL_SET_ACTIVE_TEMA",
                                        "VL_SET_ACTIVE_STATUS", "VL_SET_ACTIVE_HWND",
                                        "VL_INACTIVATE_PROGRESSAPP", "VL_ACTIVATE_PROGRESSAPP"}));
    EXPECT_EQ(vemlo::VemloMessageId(vemlo::VemloMessage::InactivateProgressApp),
              platform::RegisteredMessageId("VL_INACTIVATE_PROGRESSAPP"));
}

TEST_F(ProgressSignallingTest, OnlyTheFirstProgressWindowIsTold) {
    messages.openWindow("TProgressFormQ7", "first");
    messages.openWindow("TProgressFormQ7", "second");
    messages.openWindow("TOtherForm", "other");
    vemlo::DeactivateProgressApp();
    ASSERT_EQ(messages.sent().size(), 1u);
    const auto& sent = messages.sent()[0];
    EXPECT_EQ(sent.window, "first");
    EXPECT_EQ(sent.message, vemlo::VemloMessageId(vemlo::VemloMessage::InactivateProgressApp));
    EXPECT_EQ(sent.wParam, platform::RecordingWindowMessages::kApplicationWindow);
    EXPECT_EQ(sent.lParam, 0);
}

TEST_F(ProgressSignallingTest, NothingIsSentWithoutAProgressWindow) {
    messages.openWindow("TOtherForm", "other");
    EXPECT_NO_THROW(vemlo::DeactivateProgressApp());
    EXPECT_TRUE(messages.sent().empty());
}

TEST_F(ProgressSignallingTest, EachCallSendsOneMessageUntilTheWindowCloses) {
    messages.openWindow("TProgressFormQ7", "progress");
    vemlo::DeactivateProgressApp();
    vemlo::DeactivateProgressApp();
    EXPECT_EQ(messages.sent().size(), 2u);
    messages.closeWindow("progress");
    vemlo::DeactivateProgressApp();
    EXPECT_EQ(messages.sent().size(), 2u);
}

TEST_F(ProgressSignallingTest, AFailedRegistrationYieldsZero) {
    vemlo::ReleaseVemloMessages();
    messages.failRegistration("VL_INACTIVATE_PROGRESSAPP");
    vemlo::RegisterVemloMessages();
    EXPECT_EQ(vemlo::VemloMessageId(vemlo::VemloMessage::InactivateProgressApp), 0);
    EXPECT_NE(vemlo::VemloMessageId(vemlo::VemloMessage::ActivateProgressApp), 0);
}

TEST(RegisteredMessageIds, AreStableDistinctAndInTheRegisteredRange) {
    std::set<std::uint16_t> ids;
    for (const auto name : vemlo::kVemloMessageNames) {
        const auto id = platform::RegisteredMessageId(name);
        EXPECT_GE(id, 0xC000);
        EXPECT_LE(id, 0xFFFF);
        ids.insert(id);
    }
    EXPECT_EQ(ids.size(), vemlo::kVemloMessageNames.size());
    EXPECT_EQ(platform::RegisteredMessageId("vl_inactivate_progressapp"),
              platform::RegisteredMessageId("VL_INACTIVATE_PROGRESSAPP"));
    // Other programs of the suite compute the same number; it must never change.
    EXPECT_EQ(platform::RegisteredMessageId("VL_INACTIVATE_PROGRESSAPP"), 0xEEEB);
}

} // namespace
