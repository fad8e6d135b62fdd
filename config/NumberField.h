// Number fields: a length-and-flag byte followed by ASCII digits ended by "_", as the image and the
// security record store telephone numbers, the SMS centre number and the SIM PIN.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace zorvik {

constexpr std::uint8_t kNumberPresent = 0x80;     // length-and-flag byte: the number is in use
constexpr std::uint8_t kNumberCountMask = 0x0F;   // length-and-flag byte: the digit count
constexpr std::uint8_t kNumberTerminator = 0x5F;  // "_": fills the digit area after the last digit
constexpr std::uint8_t kNumberUnused = 0x00;      // digit area of a number not in use

// How one kind of number field sits in the image and in its masked edit.
struct NumberFieldFormat {
    int capacity;          // size of the digit area
    int firstDigit;        // position of the first digit in the edit's text
    bool leadingPlus;      // the edit starts with a literal "+" that the field does not store
    bool showsTerminator;  // decoding hands the edit one byte past the digits as well
};

// Telephones and the SMS centre: mask "+999999999999 ;1;_".
constexpr NumberFieldFormat kTelephoneField{12, 1, true, true};
// The SIM PIN: mask "99999;1;_".
constexpr NumberFieldFormat kPinField{5, 0, false, false};

// Bytes a field of this format occupies: the length-and-flag byte and the digit area.
[[nodiscard]] constexpr int NumberFieldSize(const NumberFieldFormat& format) {
    return 1 + format.capacity;
}

// Writes the field into `field`, which must hold NumberFieldSize bytes (std::logic_error if not). A
// number not in use is its capacity and zeros; a number in use takes the edit's digits up to the
// first position that holds anything else, and the count of those digits with the presence flag.
void EncodeNumberField(std::span<std::uint8_t> field, const NumberFieldFormat& format, bool inUse,
                       std::u16string_view text);

// Whether the field's length-and-flag byte says the number is in use.
[[nodiscard]] constexpr bool NumberFieldInUse(std::uint8_t lengthAndFlag) {
    return (lengthAndFlag & kNumberPresent) != 0;
}

// The edit text that shows the field starting at `field[0]`: for a telephone "+" and the digit
// count plus one bytes (the last normally the terminator), for the PIN the digit count's bytes.
// Each byte becomes the character of the same code. A count beyond the capacity reads on into
// the following bytes, but never past the end of `field`.
[[nodiscard]] std::u16string DecodeNumberText(std::span<const std::uint8_t> field,
                                              const NumberFieldFormat& format);

}  // namespace zorvik
