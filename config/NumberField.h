// Number fields: a length-and-flag byte followed by ASCII digits ended by "_", as the image and the
// security record store telephone numbers, the SMS centre number and the SIM PIN.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace zorvik {

constexpr std::uint8_t kNumberPresent = 0x80;     // length-and-flag byte: the number is in use
constexpr std::uint8_t kNumberCountMask = 0x0F;   // length-and-flag byte: the digit count
constexpr std::uint8_t kNumberTerminator = 0x5F;  // "_": fills the digit area after the last digit
constexpr std::uint8_t kNumberUnused = 0x00;      // digit area of a number not in use

// Writes the field into `field`, which must hold the length-and-flag byte and `capacity` digit
// bytes (std::logic_error if not). A number not in use is its capacity and zeros; a number in use
// takes the digits of `number` up to its first place that holds anything else, and the count of
// those digits with the presence flag.
void EncodeNumberField(std::span<std::uint8_t> field, int capacity, bool inUse,
                       std::string_view number);

// Whether the field's length-and-flag byte says the number is in use.
[[nodiscard]] constexpr bool NumberFieldInUse(std::uint8_t lengthAndFlag) {
    return (lengthAndFlag & kNumberPresent) != 0;
}

}  // namespace zorvik
