// Telling UTF-8 text from other bytes.
#pragma once

#include <string_view>

namespace zorvik::cli {

// Whether `text` is UTF-8 throughout. A spreadsheet saving "CSV" in Windows-1250 writes Polish
// letters as single bytes that are not; an image's bytes mostly are not either.
[[nodiscard]] bool IsUtf8(std::string_view text);

}  // namespace zorvik::cli
