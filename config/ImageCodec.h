// Image encoding (the window's controls to a configuration image) and image decoding (back).
#pragma once

#include "config/ImageControls.h"

namespace zorvik {

// A fresh image from the controls; reads them only.
[[nodiscard]] ConfigImage EncodeImage(const ImageControls& controls);

// Sets the controls from any 256 bytes, one control at a time in a fixed order, since each change
// runs the window's rules at once. Stored times are shown as stored (a seconds value of 0
// included), so the window must not hold a seconds position up to its raised lower limit while it
// is set here.
void DecodeImage(const ConfigImage& image, ImageControls& controls);

}  // namespace zorvik
