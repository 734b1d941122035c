#include "toolkit/dataproviders/connection_edit.h"

#include <algorithm>

namespace vemlo {

void SetConnectionValue(platform::ConnectionString& connection, const std::string& key,
                        const std::string& value) {
    auto& pairs = connection.pairs;
    const auto same = [&](const platform::ConnectionStringPair& pair) {
        return platform::SameConnectionStringKey(pair.key, key);
    };
    auto first = std::find_if(pairs.begin(), pairs.end(), same);
    if (first == pairs.end()) {
        if (!value.empty()) {
            pairs.push_back({key, value});
        }
        return;
    }
    first->value = value;
    pairs.erase(std::remove_if(std::next(first), pairs.end(), same), pairs.end());
    if (value.empty()) {
        pairs.erase(first);
    }
}

} // namespace vemlo
