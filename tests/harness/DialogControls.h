// The child controls of a dialog of another process, as a test reads them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace harness {

struct Control {
    HWND window;
    int id;
    std::string className;
    std::string text;
    LONG style;
};

// In the dialog's child order.
std::vector<Control> Controls(HWND dialog);

} // namespace harness
