#include "toolkit/dataproviders/data_provider_selection.h"

#include <stdexcept>

namespace vemlo {

namespace {

DataProviderSelection* g_Selection = nullptr;

} // namespace

void UseDataProviderSelection(DataProviderSelection* selection) {
    g_Selection = selection;
}

DataProviderSelection& DataProviders() {
    if (!g_Selection) {
        throw std::logic_error("The toolkit has no data provider selection set up");
    }
    return *g_Selection;
}

} // namespace vemlo
