#include "DialogControls.h"

#include "ProgramUnderTest.h"

namespace harness {

std::vector<Control> Controls(HWND dialog) {
    std::vector<Control> controls;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        char className[64] = "";
        GetClassNameA(child, className, sizeof(className));
        controls.push_back(Control{child, GetDlgCtrlID(child), className, WindowText(child),
                                   GetWindowLongA(child, GWL_STYLE)});
    }
    return controls;
}

} // namespace harness
