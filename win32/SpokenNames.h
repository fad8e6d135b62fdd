// Names for screen readers where no label stands just before a field, which is where Windows'
// screen readers otherwise find a field's name.
#pragma once

#include "win32/Windows.h"

#include <string>

namespace zorvik::win32 {

// Gives `control` the name a screen reader says for it. Without the system's annotation service
// (no COM on the thread, or a system without it) the control keeps the name of the label before
// it.
void NameForScreenReaders(HWND control, const std::wstring& name);

}  // namespace zorvik::win32
