// A screen reader kept answered while a command runs, and told what the window did by itself.
#pragma once

#include <QPointer>
#include <QString>

class QWidget;

namespace zorvik {

// Put one on the stack for the length of a command, beside the busy cursor. From then on the
// screen reader's questions (names, roles, states, values, the tree) are answered during every
// pause of the command (ServeScreenReader), so it can read the window and a progress bar while the
// device is busy. What it asks the window to do (press, toggle, set a value or text, move the
// focus, select) is refused with an error at once, as clicks and keys are dropped meanwhile; a
// message box the command shows is the exception and takes such actions as usual.
class ScreenReaderHold {
public:
    ScreenReaderHold();
    ~ScreenReaderHold();
    ScreenReaderHold(const ScreenReaderHold&) = delete;
    ScreenReaderHold& operator=(const ScreenReaderHold&) = delete;

private:
    QPointer<QWidget> modalBefore_;
};

// Answers what the screen reader has asked since the last call, and nothing else: no input, no
// timer, no queued handler. A command's pauses call it; without a screen reader it does nothing.
void ServeScreenReader();

// Has the screen reader say `text` for `control` without moving the focus, as for a result that
// shows in a control the user is not on.
void Announce(QWidget& control, const QString& text);

}  // namespace zorvik
