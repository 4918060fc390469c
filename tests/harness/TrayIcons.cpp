#include "TrayIcons.h"

#include <windows.h>

#include <vector>

namespace harness {
namespace {

// Collects the visible icon windows inside Wine's tray window.
BOOL CALLBACK CollectIcon(HWND window, LPARAM param) {
    char name[64] = "";
    if (GetClassNameA(window, name, sizeof(name)) && lstrcmpA(name, "__winex11_tray_icon") == 0 &&
        IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectInTray(HWND window, LPARAM param) {
    char name[64] = "";
    if (GetClassNameA(window, name, sizeof(name)) &&
        lstrcmpA(name, "__winex11_standalone_tray") == 0)
        EnumChildWindows(window, CollectIcon, param);
    return TRUE;
}

std::vector<HWND> TrayIconWindows() {
    std::vector<HWND> icons;
    EnumWindows(CollectInTray, reinterpret_cast<LPARAM>(&icons));
    return icons;
}

} // namespace

int CountTrayIcons() {
    return static_cast<int>(TrayIconWindows().size());
}

HWND FirstTrayIcon() {
    const std::vector<HWND> icons = TrayIconWindows();
    return icons.empty() ? nullptr : icons.front();
}

} // namespace harness
