// Number fields on their own: the three-step encoding.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "config/NumberField.h"

namespace zorvik::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes EncodeTelephone(bool inUse, std::string_view number) {
    Bytes field(13, 0xEE);  // 0xEE: every byte must be written
    EncodeNumberField(field, 12, inUse, number);
    return field;
}

Bytes EncodePin(bool inUse, std::string_view number) {
    Bytes field(6, 0xEE);
    EncodeNumberField(field, 5, inUse, number);
    return field;
}

Bytes Field(std::uint8_t lengthAndFlag, const char* digits, std::size_t capacity) {
    Bytes field{lengthAndFlag};
    for (std::size_t i = 0; i < capacity; ++i) {
        field.push_back(static_cast<std::uint8_t>(digits[i]));
    }
    return field;
}

TEST(TelephoneEncoding, EndsAtTheFirstPlaceWithoutADigit) {
    EXPECT_EQ(EncodeTelephone(true, "486010003109"), Field(0x8C, "486010003109", 12));
    EXPECT_EQ(EncodeTelephone(true, "48_01000310"), Field(0x82, "48__________", 12));
    // Places beyond a short number count as empty; digits beyond the capacity are not taken.
    EXPECT_EQ(EncodeTelephone(true, "123"), Field(0x83, "123_________", 12));
    EXPECT_EQ(EncodeTelephone(true, ""), Field(0x80, "____________", 12));
    EXPECT_EQ(EncodeTelephone(true, "4860100031099"), Field(0x8C, "486010003109", 12));
}

TEST(TelephoneEncoding, NumberNotInUseIsItsCapacityAndZerosWhateverTheEditShows) {
    EXPECT_EQ(EncodeTelephone(false, "486010003109"),
              (Bytes{0x0C, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(TelephoneEncoding, RefusesAFieldTooSmallForItsCapacity) {
    Bytes field(12);
    EXPECT_THROW(EncodeNumberField(field, 12, true, "1"), std::logic_error);
}

TEST(PinEncoding, HasCapacityFive) {
    EXPECT_EQ(EncodePin(false, "1234"), (Bytes{0x05, 0, 0, 0, 0, 0}));
    EXPECT_EQ(EncodePin(true, "12345"), Field(0x85, "12345", 5));
    EXPECT_EQ(EncodePin(true, ""), Field(0x80, "_____", 5));
}

}  // namespace
}  // namespace zorvik::testing
