// Repainting during a command's pauses.
#include "app/WindowClock.h"

#include <QCoreApplication>
#include <QEvent>

namespace zorvik {

void WindowClock::WhileWaiting() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
}

}  // namespace zorvik
