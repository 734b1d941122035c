#include "toolkit/dataproviders/data_provider_selection.h"

#include <stdexcept>

namespace vemlo {

namespace {

// Kept beside the toolkit's platform wiring, not in it: the choice is a toolkit part above the
// platform layer, and the wiring, which every backend links, would otherwise reach up to it.
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
