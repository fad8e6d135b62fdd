// The firmware window's Qt face.
#include "app/FirmwareWindow.h"

#include <QProgressBar>

namespace zorvik {

FirmwareWindow::FirmwareWindow(form::TForm2& form, QWidget* parent) : FormDialog(form, parent) {
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
    Widget<QProgressBar>("ProgressBar1")->setTextVisible(false);
}

}  // namespace zorvik
