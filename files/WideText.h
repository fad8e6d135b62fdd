// UTF-8, the program's own text, to and from UTF-16, which Windows' wide calls take.
#pragma once

#include <string>
#include <string_view>

namespace zorvik {

// Bytes that are not UTF-8 become U+FFFD, as Windows converts them.
[[nodiscard]] std::wstring Widen(std::string_view utf8);
[[nodiscard]] std::string Narrow(std::wstring_view utf16);

}  // namespace zorvik
