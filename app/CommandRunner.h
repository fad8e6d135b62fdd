// How every window starts and runs a command: queued after the click, its errors reported, its
// exchange with the device busy.
#pragma once

#include <QObject>

#include "form/Form.h"

namespace zorvik {

// One for the program, lent by the main window to the firmware and password windows: the windows'
// own runner (Run, RunBusy), with the way a Qt control's signal reaches a handler.
class CommandRunner : public form::CommandRunner {
public:
    // Attaches a handler that opens a modal window or talks to the device to its control's
    // signal. The handler runs from a queued call, so the click itself (by mouse, key or a
    // screen reader's action) returns at once; the handler then runs as it always does.
    template <typename Control, typename Signal, typename Window>
    static void Connect(Control* control, Signal signal, Window* window,
                        void (Window::*handler)()) {
        QObject::connect(
            control, signal, window, [window, handler] { (window->*handler)(); },
            Qt::QueuedConnection);
    }
};

}  // namespace zorvik
