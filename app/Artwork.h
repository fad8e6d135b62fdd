// The program's icon and the about box's picture, drawn in code so no image file is needed.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

namespace zorvik {

// A signal head with red, yellow and green lights.
[[nodiscard]] QIcon ProgramIcon();

// The signal head beside the product's name, on white; `size` in device-independent pixels,
// drawn sharp for screens with `pixelRatio` device pixels to each.
[[nodiscard]] QPixmap AboutPicture(QSize size, qreal pixelRatio = 1.0);

}  // namespace zorvik
