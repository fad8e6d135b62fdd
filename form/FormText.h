// The windows' texts: UTF-8 in the design and the words, UTF-16 in the controls, as both faces
// hold text.
#pragma once

#include <string>
#include <string_view>

namespace zorvik {

// Bytes that are not UTF-8 become U+FFFD.
[[nodiscard]] std::u16string Utf16(std::string_view utf8);
// A lone surrogate becomes U+FFFD.
[[nodiscard]] std::string Utf8(std::u16string_view utf16);

}  // namespace zorvik
