// The broken-down UTC time, which each platform's history file fills with its own call.
#pragma once

#include <ctime>

namespace zorvik {

// The broken-down UTC time of `when`.
[[nodiscard]] std::tm UtcTime(std::time_t when);

}  // namespace zorvik
