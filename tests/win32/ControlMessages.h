// A control's own messages, as the tests send them to it and as it notifies its parent.
#pragma once

#include "win32/Windows.h"

namespace zorvik::win32 {

inline LRESULT Send(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageW(hwnd, message, wParam, lParam);
}

// A notification as the control sends it to its parent.
inline void Notify(HWND control, int code) {
    Send(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
         reinterpret_cast<LPARAM>(control));
}

}  // namespace zorvik::win32
