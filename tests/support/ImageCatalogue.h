// Configuration images the tests share: the untouched window's, numbers put in by hand, and a
// catalogue of images that the window can show and store again unchanged.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "config/ConfigImage.h"

namespace zorvik::testing {

// The bytes of the window as the program starts, written out as the product documents them.
[[nodiscard]] ConfigImage InitialImage();

// A number in use: count with the flag, the digits, "_" after them.
void PutNumber(ConfigImage& image, int offset, int capacity, std::string_view digits);

// A number not in use: the capacity and zeros.
void PutUnused(ConfigImage& image, int offset, int capacity);

// "offset: got xx want yy" for each byte that differs; empty when the images agree.
[[nodiscard]] std::vector<std::string> ByteDiff(const ConfigImage& got, const ConfigImage& want);

// Images that the window can show: every value within its control's range, no failure reports
// under common-minus wiring. The same list on every machine.
[[nodiscard]] std::vector<ConfigImage> RepresentableImages();

}  // namespace zorvik::testing
