// CRC-8 values of the image checksum and the password digest, pinned against known results.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "config/Crc8.h"

namespace zorvik::testing {
namespace {

std::uint8_t ByteWise(const std::string& text, std::uint8_t polynomial) {
    std::uint8_t crc = 0;
    for (const char c : text) {
        crc = Crc8Update(crc, static_cast<std::uint8_t>(c), polynomial);
    }
    return crc;
}

// A bit-serial shift register, one message bit at a time: written apart from the byte-wise
// routine so that the two can check each other.
std::uint8_t BitSerial(const std::vector<std::uint8_t>& message, unsigned polynomial) {
    unsigned reg = 0;
    for (const std::uint8_t byte : message) {
        for (int bit = 7; bit >= 0; --bit) {
            const unsigned feedback = ((reg >> 7) ^ (byte >> bit)) & 1u;
            reg = (reg << 1) & 0xFFu;
            if (feedback != 0) {
                reg ^= polynomial;
            }
        }
    }
    return static_cast<std::uint8_t>(reg);
}

std::array<std::uint8_t, 256> PatternBlock() {
    std::array<std::uint8_t, 256> block{};
    for (std::size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<std::uint8_t>((i * 7 + 13) & 0xFF);
    }
    return block;
}

TEST(ImageChecksum, MatchesTheCatalogueCheckValueAndTheAbcPrefixes) {
    EXPECT_EQ(ByteWise("123456789", 0x07), 0xF4);
    EXPECT_EQ(ByteWise("a", 0x07), 0x20);
    EXPECT_EQ(ByteWise("ab", 0x07), 0xC9);
    EXPECT_EQ(ByteWise("abc", 0x07), 0x5F);
}

TEST(ImageChecksum, OfTwoHundredFiftySixZeroBytesIsZero) {
    const std::array<std::uint8_t, 256> zeros{};
    EXPECT_EQ(ComputeImageChecksum(zeros), 0x00);
}

TEST(ImageChecksum, AgreesWithABitSerialRegisterOverAWholeBlock) {
    const auto block = PatternBlock();
    EXPECT_EQ(ComputeImageChecksum(block),
              BitSerial(std::vector<std::uint8_t>(block.begin(), block.end()), 0x07));
}

TEST(ImageChecksum, ChangesWhenAnySingleBitOfTheBlockFlips) {
    const auto block = PatternBlock();
    const std::uint8_t original = ComputeImageChecksum(block);
    for (std::size_t byte = 0; byte < block.size(); ++byte) {
        for (int bit = 0; bit < 8; ++bit) {
            auto changed = block;
            changed[byte] ^= static_cast<std::uint8_t>(1u << bit);
            ASSERT_NE(ComputeImageChecksum(changed), original) << "byte " << byte << " bit " << bit;
        }
    }
}

TEST(PasswordDigest, UsesPolynomialA7WithoutReflection) {
    EXPECT_EQ(ByteWise("a", 0xA7), 0x2A);
    EXPECT_EQ(ByteWise("ab", 0xA7), 0x81);
    EXPECT_EQ(ByteWise("abc", 0xA7), 0xB2);
}

TEST(PasswordBlock, IsThePasswordFollowedByTheRegisterAfterEachOfFourPasses) {
    const std::vector<std::uint8_t> password = {'9', '4', '6', '6'};
    std::vector<std::uint8_t> repeated;
    std::array<std::uint8_t, 8> expected = {'9', '4', '6', '6', 0, 0, 0, 0};
    for (int pass = 0; pass < 4; ++pass) {
        repeated.insert(repeated.end(), password.begin(), password.end());
        expected[static_cast<std::size_t>(4 + pass)] = BitSerial(repeated, 0xA7);
    }
    EXPECT_EQ(ComputePasswordBlock(u"9466"), expected);
}

TEST(PasswordBlock, TakesOnlyTheLowByteOfACharacterAboveFF) {
    // "ł" is U+0142: it counts as 0x42, the byte of "B".
    EXPECT_EQ(ComputePasswordBlock(u"1ł34"), ComputePasswordBlock(u"1B34"));
    EXPECT_EQ(ComputePasswordBlock(u"1ł34")[1], 0x42);
}

}  // namespace
}  // namespace zorvik::testing
