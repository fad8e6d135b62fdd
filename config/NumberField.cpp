// Encoding and decoding of number fields.
#include "config/NumberField.h"

#include <algorithm>
#include <stdexcept>

namespace zorvik {

void EncodeNumberField(std::span<std::uint8_t> field, int capacity, bool inUse,
                       std::string_view number) {
    if (capacity < 0 || field.size() < 1 + static_cast<std::size_t>(capacity)) {
        throw std::logic_error("number field too small for its capacity");
    }
    const auto digits = field.subspan(1, static_cast<std::size_t>(capacity));
    if (!inUse) {
        field[0] = static_cast<std::uint8_t>(capacity);
        std::fill(digits.begin(), digits.end(), kNumberUnused);
        return;
    }
    std::fill(digits.begin(), digits.end(), kNumberTerminator);
    int count = 0;
    while (count < capacity && count < static_cast<int>(number.size())) {
        const char c = number[static_cast<std::size_t>(count)];
        if (c < '0' || c > '9') {
            break;
        }
        digits[static_cast<std::size_t>(count)] = static_cast<std::uint8_t>(c);
        ++count;
    }
    field[0] = static_cast<std::uint8_t>(kNumberPresent | count);
}

}  // namespace zorvik
