// The program's look: style, colours and font, the same for the program, its tests and its
// screenshots.
#pragma once

#include <QFont>

class QApplication;

namespace zorvik {

// Tahoma 8 pt as drawn at 96 dpi (11 pixels), or the nearest font present. Needs the
// application object.
[[nodiscard]] QFont ProgramFont();

// Fusion style with the product's window and edit colours, and the program's font.
void InstallProgramLook(QApplication& application);

}  // namespace zorvik
