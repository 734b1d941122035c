#pragma once

#include <cstdlib>

// A property that the code under test must keep: when it does not, libFuzzer reports the input.
inline void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}
