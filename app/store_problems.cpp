#include "app/store_problems.h"

#include "toolkit/widgets/application_error.h"

#include <algorithm>

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

namespace {

// The problems shown at start, which a load of the list at the same time need not repeat.
std::vector<std::string> g_ShownAtStart;

void ShowUnlessEmpty(const std::string& text) {
    if (!text.empty()) {
        vemlo::ShowApplicationError(text);
    }
}

} // namespace

void ReportStoreProblems(const std::vector<std::string>& problems) {
    ShowUnlessEmpty(StoreProblemText(problems));
}

void ReportStartProblems(const std::vector<std::string>& problems,
                         const std::function<void()>& start) {
    ReportStoreProblems(problems);
    g_ShownAtStart = problems;
    try {
        start();
    } catch (...) {
        g_ShownAtStart.clear();
        throw;
    }
    g_ShownAtStart.clear();
}

std::string IncompleteLoadText(const std::string& problem) {
    if (problem.empty()) {
        return problem;
    }
    return "Exportkonfigurationerna kunde inte läsas in helt. Listan kan vara ofullständig och "
           "kan inte sparas förrän den har lästs in helt (F5).\r" +
           problem;
}

void ReportIncompleteLoad(const std::string& problem) {
    if (std::find(g_ShownAtStart.begin(), g_ShownAtStart.end(), problem) != g_ShownAtStart.end()) {
        return;
    }
    ShowUnlessEmpty(IncompleteLoadText(problem));
}

std::string IncompleteRefreshText(bool schedule, bool list, const std::string& problem) {
    if (!schedule && !list) {
        return {};
    }
    const std::string what = schedule && list ? "schemat och exportkonfigurationerna"
                             : schedule       ? "schemat"
                                              : "exportkonfigurationerna";
    return "Uppdateringen kunde inte läsa in " + what +
           ". Fönstret visar det som visades före uppdateringen, och inget sparas förrän allt har "
           "lästs in (F5).\r" +
           problem;
}

void ReportIncompleteRefresh(bool schedule, bool list, const std::string& problem) {
    ShowUnlessEmpty(IncompleteRefreshText(schedule, list, problem));
}
