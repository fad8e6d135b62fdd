// The colours and the name of the program's pictures (its icon and the about box's), drawn by each
// face with its own painter from these.
#pragma once

#include <cstdint>

namespace zorvik {

struct ArtColour {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
};

inline constexpr ArtColour kArtHousing{0x30, 0x34, 0x3A};  // the signal head
inline constexpr ArtColour kArtRed{0xE5, 0x39, 0x35};
inline constexpr ArtColour kArtYellow{0xFD, 0xD8, 0x35};
inline constexpr ArtColour kArtGreen{0x43, 0xA0, 0x47};
inline constexpr ArtColour kArtName{0x1F, 0x3A, 0x68};  // the about box's name
inline constexpr const char* kArtNameText = "ZORVIK GSM";

}  // namespace zorvik
