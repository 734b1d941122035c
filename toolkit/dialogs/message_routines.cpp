#include "toolkit/dialogs/message_routines.h"

#include "platform/message_boxes.h"
#include "toolkit/desktop/progress_signalling.h"
#include "toolkit/toolkit_platform.h"

#include <array>
#include <string_view>

namespace vemlo {

namespace {

// The database layer's sentence about a row changed by someone else, in its two languages.
constexpr std::array<std::string_view, 2> kRowChangedSentences = {
    "Row cannot be located for updating. Some values may have been changed since it was last read",
    "Det gick inte att hitta raden för uppdatering. Vissa värden kan ha ändrats sedan den lästes "
    "sist",
};

int ShowBox(platform::BoxKind kind, std::string text) {
    platform::BoxRequest request;
    request.kind = kind;
    request.text = std::move(text);
    if (kind == platform::BoxKind::Confirmation) {
        request.buttons = platform::BoxButtons::YesNo;
        request.defaultButton = platform::kBoxYes;
    }
    return MessageBoxes().show(request);
}

} // namespace

std::string TranslateText(const std::string& text) {
    return text;
}

DatabaseErrorText ExplainDatabaseError(std::string text) {
    for (const auto sentence : kRowChangedSentences) {
        const auto position = text.find(sentence);
        if (position == std::string::npos) {
            continue;
        }
        const std::string explanation =
            TranslateText("Uppgifterna kan ha ändrats av en annan användare.") + "\r" +
            TranslateText("Om möjligt, kopiera dina ändringar till klippbordet.") + "\r\r" +
            TranslateText("Tryck sedan Ångra för att se de aktuella uppgifterna.");
        text.replace(position, sentence.size(), explanation);
        return {std::move(text), true};
    }
    return {std::move(text), false};
}

void ShowInfoMessage(std::string text) {
    DeactivateProgressApp();
    ShowBox(platform::BoxKind::Information, TranslateText(text));
}

int AskYesNo(std::string text) {
    DeactivateProgressApp();
    return ShowBox(platform::BoxKind::Confirmation, std::move(text));
}

void ShowDatabaseError(std::string text) {
    DeactivateProgressApp();
    auto shown = ExplainDatabaseError(std::move(text));
    ShowBox(shown.replaced ? platform::BoxKind::Warning : platform::BoxKind::Information,
            std::move(shown.text));
}

void ReportError(std::string text) {
    ShowDatabaseError(std::move(text));
}

} // namespace vemlo
