// The differences between two configuration values, setting by setting, in the text form's keys.
#pragma once

#include <string>
#include <vector>

#include "config/Configuration.h"

namespace zorvik {

// One setting whose values differ: its key, and its value on each side in the text form's
// spelling.
struct Difference {
    std::string key;
    std::string a;
    std::string b;
};

// The settings whose values differ, in the image's order. A reserved byte that is zero has no
// entry of its own; it reads as 0x00.
[[nodiscard]] std::vector<Difference> Differences(const Configuration& a, const Configuration& b);

}  // namespace zorvik
