// What a screen reader gets from a window through Microsoft Active
// Accessibility, and the order in which Tab walks a dialog's controls.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace harness {

// The accessible name (UTF-8) of a window's client object, as oleacc gives
// it to screen readers; empty when there is none or it cannot be read.
std::string AccessibleName(HWND window);

// The controls Tab reaches in a dialog, from the first, each once.
std::vector<HWND> TabOrder(HWND dialog);

} // namespace harness
