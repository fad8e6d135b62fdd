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
//
// A run of pauses shorter than a repaint slice (the read-back's 52 pauses of 1 ms) also repaints
// and answers, as soon as a slice's worth of them has passed, so a screen reader waits no longer
// during a command than during one long pause.
class WindowClock : public SystemClock {
public:
    void Sleep(int ms) override;

protected:
    void WhileWaiting() override;

private:
    std::int64_t lastServedMicros_ = 0;
};

}  // namespace zorvik
