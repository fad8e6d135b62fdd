// The 256-byte configuration image as the device, the files and the window's encoding share it.
#pragma once

#include <array>
#include <cstdint>

namespace zorvik {

constexpr int kImageSize = 256;
constexpr int kBlockSize = kImageSize + 1;  // an image or record followed by its checksum

using ConfigImage = std::array<std::uint8_t, kImageSize>;

}  // namespace zorvik
