#pragma once

#include <cctype>
#include <string>

namespace testing_support {

// Names each case of a GoogleTest table after its row's label.
struct LabelAsCaseName {
    template <typename Info> std::string operator()(const Info& info) const {
        std::string name;
        for (const char c : std::string(info.param.label)) {
            name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        }
        return name;
    }
};

} // namespace testing_support
