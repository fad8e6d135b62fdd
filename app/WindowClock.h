// Real time for the program, keeping its windows painted while a command pauses.
#pragma once

#include "serial/Clock.h"

namespace zorvik {

// Repaints what the windows have asked to repaint and answers a screen reader's questions; paint
// requests only, so no click or key is handled while an exchange runs.
void KeepWindowsPainted();

// Repaints what the windows have asked to repaint (a progress bar, a changed label) during the
// pauses of a command, and answers a screen reader's questions. Nothing else is handled
// meanwhile: no input, no close request, so no handler can start while a command runs.
class WindowClock : public SystemClock {
protected:
    void WhileWaiting() override;
};

}  // namespace zorvik
