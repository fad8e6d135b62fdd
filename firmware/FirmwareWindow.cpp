// The firmware update window.
#include "firmware/FirmwareWindow.h"

namespace zorvik {

TForm2::TForm2(QWidget* parent) : QDialog(parent) {
    setObjectName("Form2");
    setWindowTitle(QStringLiteral("Aktualizacja Firmware"));
}

}  // namespace zorvik
