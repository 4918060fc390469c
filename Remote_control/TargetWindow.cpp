#include "TargetWindow.h"

#include "CRecvApp.h"

#include <algorithm>
#include <vector>

namespace {

// The window manager's handle table has 16-bit indices, so a desktop never
// holds more top-level windows than this. A walk that goes on longer is going
// round in circles through windows reordered while it ran.
const size_t MAX_TOP_LEVEL_WINDOWS = 0x10000;

// The first of windows met walking the top-level windows in Z order from the
// top; null when none is met.
HWND HighestInZOrder(const std::vector<HWND>& windows) {
    size_t nSteps = 0;
    for (HWND hWnd = GetWindow(GetDesktopWindow(), GW_CHILD);
         hWnd != nullptr && nSteps < MAX_TOP_LEVEL_WINDOWS;
         hWnd = GetWindow(hWnd, GW_HWNDNEXT), ++nSteps) {
        if (std::find(windows.begin(), windows.end(), hWnd) != windows.end()) {
            return hWnd;
        }
    }
    return nullptr;
}

} // namespace

HWND ChooseTargetWindow(const CRecvApp& apps) {
    if (apps.GetCount() == 0) {
        return nullptr;
    }
    std::vector<HWND> candidates(static_cast<size_t>(apps.GetCount()));
    int nCandidates = 0;
    apps.FindWindows(candidates.data(), &nCandidates);
    candidates.resize(static_cast<size_t>(nCandidates));
    // Only windows that can take the key compete; two entries may name one.
    std::vector<HWND> eligible;
    for (const HWND hWnd : candidates) {
        if (IsWindowVisible(hWnd) && !IsIconic(hWnd) &&
            std::find(eligible.begin(), eligible.end(), hWnd) == eligible.end()) {
            eligible.push_back(hWnd);
        }
    }
    // The Z order only decides between two or more windows; walking it costs
    // a call into the window manager for every top-level window passed, so the
    // walk ends at the first competitor (shown windows stand near the top).
    if (eligible.size() < 2) {
        return eligible.empty() ? nullptr : eligible.front();
    }
    return HighestInZOrder(eligible);
}
