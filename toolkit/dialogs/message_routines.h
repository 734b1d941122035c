#pragma once

#include <string>

namespace vemlo {

// The toolkit's translation hook; no translation table is ever loaded, so it returns its text.
std::string TranslateText(const std::string& text);

// Information box with OK; the text goes through TranslateText.
void ShowInfoMessage(std::string text);
// Confirmation box with Yes (the default) and No; 6 for Yes, 7 for No. The text is shown as given.
int AskYesNo(std::string text);
// Information box with OK, or a warning box when the database layer's sentence about a changed
// row was replaced by an explanation.
void ShowDatabaseError(std::string text);
// The toolkit's general error report.
void ReportError(std::string text);

// The text ShowDatabaseError shows, and whether it replaced a recognised sentence.
struct DatabaseErrorText {
    std::string text;
    bool replaced = false;
};
DatabaseErrorText ExplainDatabaseError(std::string text);

} // namespace vemlo
