#include "Monitors.h"

#include <cstdlib>
#include <cstring>

namespace harness {

namespace {

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT pRect, LPARAM lParam) {
    reinterpret_cast<std::vector<RECT>*>(lParam)->push_back(*pRect);
    return TRUE;
}

} // namespace

std::vector<RECT> Monitors() {
    std::vector<RECT> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

bool HasTwoMonitors() {
    const char* pszTwo = std::getenv("RC_TWO_MONITORS");
    return pszTwo != nullptr && std::strcmp(pszTwo, "1") == 0 && Monitors().size() == 2;
}

} // namespace harness
