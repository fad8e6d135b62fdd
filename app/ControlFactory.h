// The Qt face's small makers: the windows' menu bars and their keys.
#pragma once

class QKeySequence;
class QShortcut;
class QAction;
class QMenuBar;
class QWidget;

namespace zorvik {

// The window's own menu bar, named as the windows name theirs: it stays in the window whatever
// the desktop does with menus.
void PrepareMenuBar(QMenuBar* bar);
// A key of `window`'s own: it works while the window is the active one, and not while another
// window (the firmware window, a message box) is.
QShortcut* MakeShortcut(QWidget* window, const QKeySequence& keys);
// A key that triggers a menu item from anywhere in `window`. The menu itself does not show the
// key, so it looks as it always has.
void AddShortcut(QWidget* window, const QKeySequence& keys, QAction* item);

}  // namespace zorvik
