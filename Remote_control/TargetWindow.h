// The choice of the window that receives a key of the remote control.
#pragma once

#include <windows.h>

class CRecvApp;

// Of the windows that the receiving applications have now, the one highest in
// the Z order that is visible and not minimised; null when there is none.
// Nothing is cached: every call looks at the desktop as it is.
HWND ChooseTargetWindow(const CRecvApp& apps);
