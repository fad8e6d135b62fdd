// CRC-8 without reflection or final XOR: the image checksum and the password digest.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace zorvik {

constexpr std::uint8_t kImagePolynomial = 0x07;   // checksum of images and security records
constexpr std::uint8_t kDigestPolynomial = 0xA7;  // digest of access passwords

constexpr int kAccessPasswordLength = 4;  // characters of an access password
constexpr int kPasswordBlockSize = 8;
using PasswordBlock = std::array<std::uint8_t, kPasswordBlockSize>;

// One byte through the register, most significant bit first.
[[nodiscard]] std::uint8_t Crc8Update(std::uint8_t crc, std::uint8_t data, std::uint8_t polynomial);

// Checksum (polynomial 0x07, register starting at 0) of the 256 bytes of an image or record.
[[nodiscard]] std::uint8_t ComputeImageChecksum(std::span<const std::uint8_t, 256> block);

// The four password bytes (low 8 bits of each UTF-16 unit) and their four digest bytes; digest k
// is the register after k+1 passes over the four bytes without a reset. Reads characters 0 to 3
// only; callers check the length first.
[[nodiscard]] PasswordBlock ComputePasswordBlock(const std::u16string& password);

}  // namespace zorvik
