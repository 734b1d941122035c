#include "platform/registered_messages.h"
#include "tests/support/toolkit_fixture.h"
#include "toolkit/desktop/progress_signalling.h"
#include "toolkit/dialogs/message_routines.h"

#include <gtest/gtest.h>

using platform::BoxKind;

namespace {

const std::string kEnglish =
    "Row cannot be located for updating. Some values may have been changed since it was last read";
const std::string kSwedish = "Det gick inte att hitta raden för uppdatering. Vissa värden kan ha "
                             "ändrats sedan den lästes sist";
const std::string kExplanation = "Uppgifterna kan ha ändrats av en annan användare.\r"
                                 "Om möjligt, kopiera dina ändringar till klippbordet.\r\r"
                                 "Tryck sedan Ångra för att se de aktuella uppgifterna.";

struct DatabaseErrorCase {
    const char* name;
    std::string text;
    BoxKind kind;
    std::string shown;
    friend void PrintTo(const DatabaseErrorCase& c, std::ostream* os) { *os << c.name; }
};

class ShowDatabaseErrorTest : public ::testing::TestWithParam<DatabaseErrorCase> {
protected:
    testing_support::ToolkitTwins twins;
};

TEST_P(ShowDatabaseErrorTest, ShowsTheExplainedText) {
    const auto& c = GetParam();
    for (auto* routine : {&vemlo::ShowDatabaseError, &vemlo::ReportError}) {
        twins.boxes.clear();
        routine(c.text);
        ASSERT_EQ(twins.boxes.shown().size(), 1u);
        const auto& box = twins.boxes.shown()[0];
        EXPECT_EQ(box.kind, c.kind);
        EXPECT_EQ(box.text, c.shown);
        EXPECT_EQ(box.buttons, platform::BoxButtons::Ok);
        EXPECT_EQ(box.defaultButton, platform::kBoxOk);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ShowDatabaseErrorTest,
    ::testing::Values(
        DatabaseErrorCase{"EnglishWithFullStop", kEnglish + ".", BoxKind::Warning,
                          kExplanation + "."},
        DatabaseErrorCase{"EnglishInsideOtherText", "Fel: " + kEnglish + ". Tabell KUND",
                          BoxKind::Warning, "Fel: " + kExplanation + ". Tabell KUND"},
        DatabaseErrorCase{"EnglishTwiceReplacesTheFirst", kEnglish + ". " + kEnglish,
                          BoxKind::Warning, kExplanation + ". " + kEnglish},
        DatabaseErrorCase{"SwedishAtTheEnd", "Uppdatering: " + kSwedish, BoxKind::Warning,
                          "Uppdatering: " + kExplanation},
        DatabaseErrorCase{"EnglishBeforeSwedish", kSwedish + " / " + kEnglish, BoxKind::Warning,
                          kSwedish + " / " + kExplanation},
        DatabaseErrorCase{"OtherCaseIsNotRecognised",
                          "row cannot be located for updating. Some values may have been changed "
                          "since it was last read",
                          BoxKind::Information,
                          "row cannot be located for updating. Some values may have been changed "
                          "since it was last read"},
        DatabaseErrorCase{"AnotherWordIsNotRecognised",
                          "Row cannot be found for updating. Some values may have been changed "
                          "since it was last read",
                          BoxKind::Information,
                          "Row cannot be found for updating. Some values may have been changed "
                          "since it was last read"},
        DatabaseErrorCase{"Empty", "", BoxKind::Information, ""},
        DatabaseErrorCase{"PlainMessage", "Det gick inte att radera värdet i registret!\r\rx",
                          BoxKind::Information,
                          "Det gick inte att radera värdet i registret!\r\rx"}),
    [](const auto& info) { return std::string(info.param.name); });

class MessageRoutinesTest : public ::testing::Test {
protected:
    testing_support::ToolkitTwins twins;
};

TEST_F(MessageRoutinesTest, TranslateTextReturnsItsText) {
    for (const std::string text : {"", "1", "x", "Välj exportkatalog", "Åtkomst nekad\r\r!"}) {
        EXPECT_EQ(vemlo::TranslateText(text), text);
    }
}

TEST_F(MessageRoutinesTest, ShowInfoMessageIsAnInformationBoxWithOk) {
    vemlo::ShowInfoMessage("An error occurred while trying to start the service!");
    ASSERT_EQ(twins.boxes.shown().size(), 1u);
    const auto& box = twins.boxes.shown()[0];
    EXPECT_EQ(box.kind, BoxKind::Information);
    EXPECT_EQ(box.text, "An error occurred while trying to start the service!");
    EXPECT_EQ(box.buttons, platform::BoxButtons::Ok);
    EXPECT_EQ(box.defaultButton, platform::kBoxOk);
}

TEST_F(MessageRoutinesTest, AskYesNoReturnsTheButtonThatClosedTheBox) {
    twins.boxes.answerNext(platform::kBoxYes);
    twins.boxes.answerNext(platform::kBoxNo);
    EXPECT_EQ(vemlo::AskYesNo("Radera?"), 6);
    EXPECT_EQ(vemlo::AskYesNo("Radera?"), 7);
    // Closed by its default button: Yes.
    EXPECT_EQ(vemlo::AskYesNo("Radera?"), 6);
    const auto& box = twins.boxes.shown()[0];
    EXPECT_EQ(box.kind, BoxKind::Confirmation);
    EXPECT_EQ(box.buttons, platform::BoxButtons::YesNo);
    EXPECT_EQ(box.defaultButton, platform::kBoxYes);
    EXPECT_EQ(box.text, "Radera?");
}

TEST_F(MessageRoutinesTest, TheProgressApplicationIsToldBeforeEachBox) {
    vemlo::RegisterVemloMessages();
    twins.messages.openWindow("TProgressFormQ7", "progress");
    std::vector<std::string> events;
    twins.messages.onSend(
        [&](const auto& sent) { events.push_back("told " + std::to_string(sent.message)); });
    twins.boxes.onShow([&](const auto& box) { events.push_back("box " + box.text); });
    vemlo::ShowInfoMessage("a");
    vemlo::AskYesNo("b");
    vemlo::ShowDatabaseError("c");
    vemlo::ReportError("d");
    const auto told =
        "told " + std::to_string(platform::RegisteredMessageId("VL_INACTIVATE_PROGRESSAPP"));
    EXPECT_EQ(events, (std::vector<std::string>{told, "box a", told, "box b", told, "box c", told,
                                                "box d"}));
    vemlo::ReleaseVemloMessages();
}

} // namespace
