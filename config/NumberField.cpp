// Encoding and decoding of number fields.
#include "config/NumberField.h"

#include <algorithm>
#include <stdexcept>

namespace zorvik {

namespace {

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

}  // namespace

void EncodeNumberField(std::span<std::uint8_t> field, const NumberFieldFormat& format, bool inUse,
                       std::u16string_view text) {
    if (field.size() < static_cast<std::size_t>(NumberFieldSize(format))) {
        throw std::logic_error("number field too small for its format");
    }
    const auto digits = field.subspan(1, static_cast<std::size_t>(format.capacity));
    if (!inUse) {
        field[0] = static_cast<std::uint8_t>(format.capacity);
        std::fill(digits.begin(), digits.end(), kNumberUnused);
        return;
    }
    std::fill(digits.begin(), digits.end(), kNumberTerminator);
    field[0] = static_cast<std::uint8_t>(kNumberPresent | format.capacity);
    for (int i = 0; i < format.capacity; ++i) {
        const auto position = static_cast<std::size_t>(format.firstDigit + i);
        // A character beyond the text counts as an empty position of the mask. The whole UTF-16
        // unit is tested, so that a letter whose low byte happens to be a digit code stays a
        // non-digit.
        const char16_t c = position < text.size() ? text[position] : u' ';
        if (!IsDigit(c)) {
            field[0] = static_cast<std::uint8_t>(kNumberPresent | i);
            return;
        }
        digits[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(c);
    }
}

std::u16string DecodeNumberText(std::span<const std::uint8_t> field,
                                const NumberFieldFormat& format) {
    std::u16string text;
    if (field.empty()) {
        return text;
    }
    if (format.leadingPlus) {
        text.push_back(u'+');
    }
    const int count = (field[0] & kNumberCountMask) + (format.showsTerminator ? 1 : 0);
    const auto available = field.size() - 1;
    const auto taken = std::min(static_cast<std::size_t>(count), available);
    for (std::size_t i = 0; i < taken; ++i) {
        text.push_back(static_cast<char16_t>(field[1 + i]));
    }
    return text;
}

}  // namespace zorvik
