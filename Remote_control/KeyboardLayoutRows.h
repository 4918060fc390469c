// The on-screen keyboard's rows from the keyboard layout of the window in
// front: what its letter keys type unshifted, and the accented letters its
// dead keys make of the vowels.
#pragma once

#include <windows.h>

#include "COnScreenKeyboard.h"

namespace keyboardlayout {

// The layout of hWindow's thread (KV480's own when null). A layout that
// types too few keys of its own (an input method) gives the US keyboard; one
// without dead keys keeps the US keyboard's accented row.
COnScreenKeyboard::Layout RowsOf(HWND hWindow);

} // namespace keyboardlayout
