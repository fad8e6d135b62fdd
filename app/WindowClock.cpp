// Repainting and answering a screen reader during a command's pauses.
#include "app/WindowClock.h"

#include <QCoreApplication>
#include <QEvent>

#include "app/ScreenReader.h"

namespace zorvik {

void KeepWindowsPainted() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    ServeScreenReader();
}

void WindowClock::Sleep(int ms) {
    SystemClock::Sleep(ms);
    if (NowMicros() - lastServedMicros_ >= kRepaintSliceMicros) {
        WhileWaiting();
    }
}

void WindowClock::WhileWaiting() {
    KeepWindowsPainted();
    lastServedMicros_ = NowMicros();
}

}  // namespace zorvik
