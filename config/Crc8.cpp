// CRC-8 routines shared by the image checksum and the password digest.
#include "config/Crc8.h"

namespace zorvik {

std::uint8_t Crc8Update(std::uint8_t crc, std::uint8_t data, std::uint8_t polynomial) {
    unsigned r = crc ^ data;
    for (int bit = 0; bit < 8; ++bit) {
        r = (r & 0x80) ? ((r << 1) ^ polynomial) & 0xFF : (r << 1) & 0xFF;
    }
    return static_cast<std::uint8_t>(r);
}

std::uint8_t ComputeImageChecksum(std::span<const std::uint8_t, 256> block) {
    std::uint8_t crc = 0;
    for (const std::uint8_t byte : block) {
        crc = Crc8Update(crc, byte, kImagePolynomial);
    }
    return crc;
}

PasswordBlock ComputePasswordBlock(const std::u16string& password) {
    PasswordBlock block{};
    for (int i = 0; i < kAccessPasswordLength; ++i) {
        const auto index = static_cast<std::size_t>(i);
        block[index] =
            index < password.size() ? static_cast<std::uint8_t>(password[index] & 0xFF) : 0;
    }
    std::uint8_t crc = 0;
    for (int pass = 0; pass < kAccessPasswordLength; ++pass) {
        for (int i = 0; i < kAccessPasswordLength; ++i) {
            crc = Crc8Update(crc, block[static_cast<std::size_t>(i)], kDigestPolynomial);
        }
        block[static_cast<std::size_t>(kAccessPasswordLength + pass)] = crc;
    }
    return block;
}

}  // namespace zorvik
