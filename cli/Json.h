// The command line's JSON output: one layout for every listing it prints.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace zorvik::cli {

// `value` indented by four spaces a level, one member or element a line, members in key order,
// and a final newline; an empty array or object still takes two lines. Text that is not UTF-8
// comes out with U+FFFD in place of each bad sequence.
[[nodiscard]] std::string IndentedJson(const nlohmann::json& value);
// The same layout with each object's members in the order they were given.
[[nodiscard]] std::string IndentedJson(const nlohmann::ordered_json& value);

}  // namespace zorvik::cli
