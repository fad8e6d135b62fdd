// Keyboard focus and screen reader names for the window's controls, which stand at fixed places
// rather than in layouts.
#pragma once

#include <QString>
#include <initializer_list>
#include <vector>

class QWidget;

namespace zorvik {

// A control and the name a screen reader announces for it.
struct ControlName {
    QWidget* control;
    QString name;
};

// Names controls that have no caption of their own, without changing any visible text. An
// up-down's name goes to its edit, and with ": w górę" and ": w dół" to its two arrows.
void NameControls(std::initializer_list<ControlName> names);

// The focusable controls among `areas` (siblings) and inside them, in the order the eye reads
// them: bands that no control straddles from top to bottom, within a band columns from left to
// right, and so on down to single controls.
[[nodiscard]] std::vector<QWidget*> FocusByLayout(const std::vector<QWidget*>& areas);

// Makes Tab visit `chain` in this order.
void SetFocusChain(const std::vector<QWidget*>& chain);

}  // namespace zorvik
