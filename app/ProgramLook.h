// The program's look: style, colours and font, the same for the program, its tests and its
// screenshots.
#pragma once

#include <QFont>

class QApplication;

namespace zorvik {

// Tahoma 8 pt as drawn at 96 dpi (11 pixels), or the nearest font present. Needs the
// application object.
[[nodiscard]] QFont ProgramFont();

// Fusion style with the product's window and edit colours, the program's font, and Qt's own texts
// in Polish (InstallQtPolish).
void InstallProgramLook(QApplication& application);

// Loads Qt's Polish catalogue (qtbase_pl.qm) and makes Polish Qt's default locale, whatever the
// system's language, so that Qt's own texts (the buttons of message boxes, the file dialogs, the
// edits' context menus) are Polish like the program's. False, with a warning, when the catalogue
// is not installed: those texts then stay in English.
bool InstallQtPolish(QApplication& application);

}  // namespace zorvik
