#include "form/Artwork.h"

#include <algorithm>

namespace zorvik {

std::vector<ArtShape> SignalHeadShapes(double left, double top, double width, double height) {
    std::vector<ArtShape> shapes{
        {ArtShape::Kind::RoundedBox, left, top, width, height, kArtHousing, width * 0.22}};
    const double light = std::min(width * 0.7, height / 3.0 * 0.8);
    const double step = height / 3.0;
    const ArtColour lights[] = {kArtRed, kArtYellow, kArtGreen};
    for (int i = 0; i < 3; ++i) {
        shapes.push_back({ArtShape::Kind::Disc, left + (width - light) / 2,
                          top + step * (i + 0.5) - light / 2, light, light, lights[i]});
    }
    return shapes;
}

std::vector<ArtShape> IconShapes(double side) {
    const double width = side * 0.5;
    return SignalHeadShapes((side - width) / 2, side * 0.03, width, side * 0.94);
}

std::vector<ArtShape> AboutPictureShapes(double width, double height) {
    const double head = height - 4;
    std::vector<ArtShape> shapes = SignalHeadShapes(4, 2, head * 0.42, head);
    const double nameLeft = head * 0.42 + 16;
    const double nameWidth = width - nameLeft;
    shapes.push_back(
        {ArtShape::Kind::Name, nameLeft, 0, nameWidth, height, kArtName, 0, height * 0.5});
    shapes.push_back({ArtShape::Kind::Stripe, nameLeft, height - 6, nameWidth - 4, 3});
    return shapes;
}

}  // namespace zorvik
