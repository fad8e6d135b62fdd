// The main window's anti-theft command and port autodetection.
#include "app/MainWindow.h"

namespace zorvik {

void TForm1::Button3Click() {
    Guard([] {});
}

void TForm1::CheckBox26Click() {
    Guard([] {});
}

}  // namespace zorvik
