#pragma once

#include <string>

namespace vemlo {

// Choosing a data provider, as SelectDataProvider does with its dialog. The program hands in the
// dialog's selection; a window's tests hand in a scripted one.
class DataProviderSelection {
public:
    virtual ~DataProviderSelection() = default;
    // The chosen data link file's name (name and extension, no folder).
    virtual std::string SelectDataProvider(const std::string& valueName) = 0;
};

void UseDataProviderSelection(DataProviderSelection* selection);
// Throws std::logic_error when the program has not handed one in.
DataProviderSelection& DataProviders();

} // namespace vemlo
