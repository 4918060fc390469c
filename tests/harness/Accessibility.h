// What a screen reader learns of a dialog: the names that Active
// Accessibility gives its controls, and the order in which Tab visits them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace harness {

// The accessible name of a window's client object (UTF-8); empty when it has
// none or cannot be read. Works on windows of other processes too.
std::string AccessibleName(HWND window);

// The controls that Tab visits, from the first tab stop on, each once.
std::vector<HWND> TabOrder(HWND dialog);

} // namespace harness
