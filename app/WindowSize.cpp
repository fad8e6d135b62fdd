// Keeping a window at one outer size.
#include "app/WindowSize.h"

#include <QWidget>

namespace zorvik {

void HoldOuterSize(QWidget& window, QSize outer) {
    const QSize frame = window.frameGeometry().size() - window.geometry().size();
    const QSize inner = outer - frame;
    if (window.minimumSize() != inner || window.maximumSize() != inner) {
        window.setFixedSize(inner);
    }
    if (window.size() != inner) {
        window.resize(inner);
    }
}

}  // namespace zorvik
