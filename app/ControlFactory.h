// Small makers that put one named control at its place, as the window's pages are built.
#pragma once

#include <QString>

#include "app/Controls.h"
#include "config/Configuration.h"
#include "form/Design.h"

class QAction;
class QGroupBox;
class QKeySequence;
class QShortcut;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;
class QRadioButton;
class QRect;
class QWidget;

namespace zorvik {

// The window's own menu bar, named as the windows name theirs: it stays in the window whatever
// the desktop does with menus.
void PrepareMenuBar(QMenuBar* bar);
// A menu of the bar and an item of a menu, each named. An "&" in the title or text marks the
// letter that opens the menu with Alt or picks the item in its open menu.
QMenu* MakeMenu(QMenuBar* bar, const char* name, const QString& title);
QAction* MakeMenuItem(QMenu* menu, const char* name, const QString& text);
// A key of `window`'s own: it works while the window is the active one, and not while another
// window (the firmware window, a message box) is.
QShortcut* MakeShortcut(QWidget* window, const QKeySequence& keys);
// A key that triggers a menu item from anywhere in `window`. The menu itself does not show the
// key, so it looks as it always has.
void AddShortcut(QWidget* window, const QKeySequence& keys, QAction* item);

// Each maker names the control (objectName) and places it at left, top of its parent.
QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int left, int top);
// A label of a fixed size, for texts that change while it is shown.
QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, const QRect& at);
TCheckBox* MakeCheckBox(QWidget* parent, const char* name, const QString& caption, int left,
                        int top);
// The caption stands left of the box; `left` is where the caption begins.
TCheckBox* MakeCheckBoxCaptionLeft(QWidget* parent, const char* name, const QString& caption,
                                   int left, int top);
QRadioButton* MakeRadioButton(QWidget* parent, const char* name, const QString& caption, int left,
                              int top);
QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, int left,
                        int top);
TPanel* MakePanel(QWidget* parent, const char* name, int left, int top, int width, int height);
QGroupBox* MakeGroupBox(QWidget* parent, const char* name, const QString& caption, int left,
                        int top, int width, int height);
// A telephone field, 90 wide, with the default text "+" and thirteen blanks; read-only in the
// button face colour unless switched on.
TMaskEdit* MakeTelephoneEdit(QWidget* parent, const char* name, int left, int top, bool switchedOn);
TEdit* MakeEdit(QWidget* parent, const char* name, const QString& text, int left, int top,
                int width);

// A spin box: the read-only edit at left, top and the up-down beside it.
struct SpinBoxDesign {
    const char* edit;
    const char* upDown;
    int left;
    int top;
    int width;
    int min;
    int max;
    int position;
    int increment;
    TUDAlignButton side;
    bool alignRight;
};
struct SpinBox {
    TEdit* edit;
    TUpDown* upDown;
};
SpinBox MakeSpinBox(QWidget* parent, const SpinBoxDesign& design);

// A spin box over one of the configuration's ranges: its limits are the range's, and its arrows
// step by the range's step, or not at all while `frozen` (until its check box switches it on).
struct RangedSpinBoxDesign {
    const char* edit;
    const char* upDown;
    int left;
    int top;
    int width;
    ValueRange range;
    int position;
    bool frozen;
    TUDAlignButton side;
    bool alignRight;
};
SpinBox MakeSpinBox(QWidget* parent, const RangedSpinBoxDesign& design);

}  // namespace zorvik
