// The choice of the window that receives a key of the remote control.
#pragma once

#include "TargetRule.h"

#include <windows.h>

#include <vector>

class CRecvApp;

// One entry of the receiving-application list as the choice saw it: the
// window found for it (null when none) and why it gets the key or not.
struct TargetEntryReport {
    HWND window;
    TargetRule::Verdict verdict;
};

// Of the windows that the receiving applications have now, the one highest in
// the Z order that is visible, not minimised and on the current virtual
// desktop; null when there is none. Nothing is cached: every call looks at
// the desktop as it is.
HWND ChooseTargetWindow(const CRecvApp& apps);

// The same choice, told for every entry in list order.
std::vector<TargetEntryReport> ReportTargetWindows(const CRecvApp& apps);
