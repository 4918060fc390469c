#include "TargetWindow.h"

#include "CRecvApp.h"

#include <dwmapi.h>

#include <algorithm>
#include <cstdint>

namespace {

// The window manager's handle table has 16-bit indices, so a desktop never
// holds more top-level windows than this. A walk that goes on longer is going
// round in circles through windows reordered while it ran.
const size_t MAX_TOP_LEVEL_WINDOWS = 0x10000;

std::uintptr_t Identity(HWND hWnd) {
    return reinterpret_cast<std::uintptr_t>(hWnd);
}

// A window on another virtual desktop is cloaked. Where the window manager
// cannot tell (no desktop composition), the window counts as shown.
bool IsCloaked(HWND hWnd) {
    DWORD dwCloaked = 0;
    return SUCCEEDED(DwmGetWindowAttribute(hWnd, DWMWA_CLOAKED, &dwCloaked,
                                           static_cast<DWORD>(sizeof(dwCloaked)))) &&
           dwCloaked != 0;
}

TargetRule::Facts FactsOf(HWND hWnd) {
    TargetRule::Facts facts;
    facts.window = Identity(hWnd);
    if (hWnd != nullptr) {
        facts.visible = IsWindowVisible(hWnd) != FALSE;
        facts.minimised = IsIconic(hWnd) != FALSE;
        // Asked only where it can still matter: the call is the dearest here.
        facts.cloaked = facts.visible && !facts.minimised && IsCloaked(hWnd);
    }
    return facts;
}

// The first of windows met walking the top-level windows in Z order from the
// top; 0 when none is met.
std::uintptr_t HighestInZOrder(const std::vector<std::uintptr_t>& windows) {
    size_t nSteps = 0;
    for (HWND hWnd = GetWindow(GetDesktopWindow(), GW_CHILD);
         hWnd != nullptr && nSteps < MAX_TOP_LEVEL_WINDOWS;
         hWnd = GetWindow(hWnd, GW_HWNDNEXT), ++nSteps) {
        if (std::find(windows.begin(), windows.end(), Identity(hWnd)) != windows.end()) {
            return Identity(hWnd);
        }
    }
    return 0;
}

} // namespace

std::vector<TargetEntryReport> ReportTargetWindows(const CRecvApp& apps) {
    std::vector<HWND> windows;
    std::vector<TargetRule::Facts> facts;
    for (int i = 0; i < apps.GetCount(); ++i) {
        windows.push_back(apps.FindWindowOf(i));
        facts.push_back(FactsOf(windows.back()));
    }
    // The Z order only decides between two or more windows; walking it costs
    // a call into the window manager for every top-level window passed, so the
    // walk ends at the first competitor (shown windows stand near the top).
    const std::vector<std::uintptr_t> competitors = TargetRule::Competitors(facts);
    std::uintptr_t highest = 0;
    if (competitors.size() == 1) {
        highest = competitors.front();
    } else if (competitors.size() > 1) {
        highest = HighestInZOrder(competitors);
    }
    const std::vector<TargetRule::Verdict> verdicts = TargetRule::Decide(facts, highest);
    std::vector<TargetEntryReport> report;
    for (size_t i = 0; i < windows.size(); ++i) {
        report.push_back(TargetEntryReport{windows[i], verdicts[i]});
    }
    return report;
}

HWND ChooseTargetWindow(const CRecvApp& apps) {
    for (const TargetEntryReport& entry : ReportTargetWindows(apps)) {
        if (entry.verdict == TargetRule::Verdict::Target) {
            return entry.window;
        }
    }
    return nullptr;
}
