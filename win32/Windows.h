// The Windows API as the face includes it: the dialogs' MessageBox keeps its own name, whatever
// the system's macro of that name says.
#pragma once

#include <windows.h>

#undef MessageBox
