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

void WindowClock::WhileWaiting() {
    KeepWindowsPainted();
}

}  // namespace zorvik
