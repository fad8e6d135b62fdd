// Reading UTF-8: one sequence at a time, or a whole text to tell it from other bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zorvik {

// The byte order mark: how some editors start UTF-8 text, and how a spreadsheet is told that a file
// is UTF-8.
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

struct Utf8Sequence {
    std::size_t length = 0;  // 2 to 4 bytes; 0 when there is no valid sequence
    std::uint32_t code = 0;
};

// The multi-byte sequence at the start of `text`. An ASCII byte, a bad lead or following byte, a
// sequence cut off by the end, an overlong form, a surrogate and a code past U+10FFFF all give
// length 0.
[[nodiscard]] Utf8Sequence Utf8SequenceAt(std::string_view text);

// Whether `text` is UTF-8 throughout. A spreadsheet saving "CSV" in Windows-1250 writes Polish
// letters as single bytes that are not; an image's bytes mostly are not either.
[[nodiscard]] bool IsUtf8(std::string_view text);

// Whether `text` is UTF-16, as Windows editors save "Unicode" text: it starts with either UTF-16
// byte order mark, or with an ASCII character beside a zero byte (UTF-16 without a mark). No
// UTF-8 text starts so.
[[nodiscard]] bool LooksLikeUtf16(std::string_view text);

}  // namespace zorvik
