// The program's pictures (its icon and the about box's) as shapes with their colours: each face
// paints the same shapes with its own painter.
#pragma once

#include <cstdint>
#include <vector>

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

// One shape, in the picture's pixels.
struct ArtShape {
    enum class Kind {
        RoundedBox,  // filled, with corners of radius `corner`
        Disc,        // filled, the ellipse the box holds
        Name,        // kArtNameText in bold, `textPixels` high, at the box's left, centred in it
        Stripe,      // a band that runs from red through yellow to green, left to right
    };
    Kind kind;
    double left;
    double top;
    double width;
    double height;
    ArtColour colour{};
    double corner = 0;
    double textPixels = 0;
};

// The signal head filling the box: its housing and its three lights.
[[nodiscard]] std::vector<ArtShape> SignalHeadShapes(double left, double top, double width,
                                                     double height);
// The program's icon, `side` pixels square.
[[nodiscard]] std::vector<ArtShape> IconShapes(double side);
// The about box's picture: the signal head, the name beside it and the stripe under the name,
// on white.
[[nodiscard]] std::vector<ArtShape> AboutPictureShapes(double width, double height);

}  // namespace zorvik
