#include "toolkit/dataproviders/scripted_data_provider_selection.h"

#include "toolkit/dataproviders/data_provider_names.h"
#include "toolkit/settings/environment.h"

namespace vemlo {

std::string ScriptedDataProviderSelection::SelectDataProvider(const std::string& valueName) {
    asked_.push_back(valueName);
    if (answers_.empty()) {
        return FileNamePart(g_DefaultDataProvider);
    }
    auto answer = std::move(answers_.front());
    answers_.pop_front();
    return answer;
}

} // namespace vemlo
