#include "app/store_problems.h"

#include "app/default_error_handler.h"

std::string StoreProblemText(const std::vector<std::string>& problems) {
    std::string text;
    for (const auto& problem : problems) {
        if (!problem.empty()) {
            text += "\r" + problem;
        }
    }
    if (text.empty()) {
        return text;
    }
    return "Inställningslagret kan inte användas. Inställningar kan saknas och ändringar kan inte "
           "sparas.\r" +
           text;
}

void ReportStoreProblems(const std::vector<std::string>& problems) {
    const auto text = StoreProblemText(problems);
    if (!text.empty()) {
        ShowApplicationError(text);
    }
}
