// The configuration value as JSON: one object whose members are the text form's keys.
#pragma once

#include <string>
#include <string_view>

#include "config/ConfigText.h"

namespace zorvik {

// One member per setting in the image's order: yes/no settings as true and false, whole numbers
// as numbers, choices, telephone numbers and reserved bytes as strings.
[[nodiscard]] std::string FormatConfigJson(const Configuration& value);

// `base` with the members the object names. A member may also be given as a string in the text
// form's spelling. Throws ConfigParseError with the line for text that is not one JSON object, and
// naming the key and its line for an unknown key, a key given twice, a bad value or a number out of
// range, however large or small; nothing is taken then.
[[nodiscard]] Configuration ParseConfigJson(std::string_view json, const Configuration& base);

}  // namespace zorvik
