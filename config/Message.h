// A message box's text and caption, as UTF-8: what every command and check shows.
#pragma once

#include <string_view>

namespace zorvik {

struct Message {
    std::string_view text;
    std::string_view caption;
};

}  // namespace zorvik
