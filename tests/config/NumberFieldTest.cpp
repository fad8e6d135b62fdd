// Number fields on their own: the three-step encoding and the decoded edit text.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "config/NumberField.h"

namespace zorvik::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes EncodeTelephone(bool inUse, std::u16string_view text) {
    Bytes field(13, 0xEE);  // 0xEE: every byte must be written
    EncodeNumberField(field, kTelephoneField, inUse, text);
    return field;
}

Bytes EncodePin(bool inUse, std::u16string_view text) {
    Bytes field(6, 0xEE);
    EncodeNumberField(field, kPinField, inUse, text);
    return field;
}

Bytes Field(std::uint8_t lengthAndFlag, const char* digits, std::size_t capacity) {
    Bytes field{lengthAndFlag};
    for (std::size_t i = 0; i < capacity; ++i) {
        field.push_back(static_cast<std::uint8_t>(digits[i]));
    }
    return field;
}

TEST(TelephoneEncoding, EndsAtTheFirstPositionWithoutADigit) {
    EXPECT_EQ(EncodeTelephone(true, u"+486010003109 "), Field(0x8C, "486010003109", 12));
    EXPECT_EQ(EncodeTelephone(true, u"+48_01000310  "), Field(0x82, "48__________", 12));
    // Positions beyond a short text count as empty.
    EXPECT_EQ(EncodeTelephone(true, u"+123"), Field(0x83, "123_________", 12));
    EXPECT_EQ(EncodeTelephone(true, u""), Field(0x80, "____________", 12));
    // U+0131 has the low byte 0x31, the code of "1", but is no digit.
    EXPECT_EQ(EncodeTelephone(true, u"+4\u0131         "), Field(0x81, "4___________", 12));
}

TEST(TelephoneEncoding, NumberNotInUseIsItsCapacityAndZerosWhateverTheEditShows) {
    EXPECT_EQ(EncodeTelephone(false, u"+486010003109 "),
              (Bytes{0x0C, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(TelephoneEncoding, RefusesAFieldTooSmallForItsFormat) {
    Bytes field(12);
    EXPECT_THROW(EncodeNumberField(field, kTelephoneField, true, u"+1"), std::logic_error);
}

TEST(PinEncoding, StartsAtPositionZeroWithCapacityFive) {
    EXPECT_EQ(EncodePin(false, u"1234 "), (Bytes{0x05, 0, 0, 0, 0, 0}));
    EXPECT_EQ(EncodePin(true, u"12345"), Field(0x85, "12345", 5));
    EXPECT_EQ(EncodePin(true, u"     "), Field(0x80, "_____", 5));
}

TEST(NumberDecoding, TelephoneShowsPlusAndOneByteMoreThanTheCount) {
    const Bytes field = Field(0x8B, "48601000310_", 12);
    EXPECT_EQ(DecodeNumberText(field, kTelephoneField), u"+48601000310_");
    const Bytes empty = Field(0x80, "____________", 12);
    EXPECT_EQ(DecodeNumberText(empty, kTelephoneField), u"+_");
}

TEST(NumberDecoding, FullTelephoneTakesTheFirstSpareByteToo) {
    Bytes field = Field(0x8C, "486010003109", 12);
    field.push_back(0x00);
    EXPECT_EQ(DecodeNumberText(field, kTelephoneField), std::u16string(u"+486010003109\0", 14));
}

TEST(NumberDecoding, PinShowsExactlyTheCountOfBytes) {
    const Bytes field = Field(0x84, "1234_", 5);
    EXPECT_EQ(DecodeNumberText(field, kPinField), u"1234");
    EXPECT_EQ(DecodeNumberText(Field(0x80, "_____", 5), kPinField), u"");
}

TEST(NumberDecoding, IgnoresTheFlagAndBitsFourToSixForTheCount) {
    const Bytes field = Field(0x72, "12__________", 12);
    EXPECT_EQ(DecodeNumberText(field, kTelephoneField), u"+12_");
}

TEST(NumberDecoding, CountAboveCapacityReadsOnButNeverPastTheEnd) {
    // 0x8F asks for 16 bytes after the plus; only 5 follow.
    const Bytes shortField = {0x8F, '1', '2', '3', '4', '5'};
    EXPECT_EQ(DecodeNumberText(shortField, kTelephoneField), u"+12345");
    Bytes longField = Field(0x8F, "123456789012", 12);
    longField.insert(longField.end(), {'a', 'b', 'c', 'd', 'e'});
    EXPECT_EQ(DecodeNumberText(longField, kTelephoneField), u"+123456789012abcd");
    EXPECT_EQ(DecodeNumberText(Bytes{}, kTelephoneField), u"");
}

TEST(NumberDecoding, BytesAboveSevenFBecomeTheCharactersOfTheSameCode) {
    const Bytes field = {0x82, 0xB3, 0xFF, '_'};
    EXPECT_EQ(DecodeNumberText(field, kPinField), u"\u00B3\u00FF");
}

}  // namespace
}  // namespace zorvik::testing
