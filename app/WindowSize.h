// Keeping a window at one outer size, title bar and borders included.
#pragma once

#include <QSize>

class QWidget;

namespace zorvik {

// Fixes the window's size so that its outer frame measures `outer`. The frame's share is known
// only once the window system has framed the window, so call it again on every resize and show.
void HoldOuterSize(QWidget& window, QSize outer);

}  // namespace zorvik
