#include "TrayIcons.h"

#include <windows.h>

namespace harness {
namespace {

BOOL CALLBACK CountIcon(HWND window, LPARAM param) {
    char name[64] = "";
    if (GetClassNameA(window, name, sizeof(name)) && lstrcmpA(name, "__winex11_tray_icon") == 0 &&
        IsWindowVisible(window))
        ++*reinterpret_cast<int*>(param);
    return TRUE;
}

BOOL CALLBACK CountInTray(HWND window, LPARAM param) {
    char name[64] = "";
    if (GetClassNameA(window, name, sizeof(name)) &&
        lstrcmpA(name, "__winex11_standalone_tray") == 0)
        EnumChildWindows(window, CountIcon, param);
    return TRUE;
}

BOOL CALLBACK FirstIcon(HWND window, LPARAM param) {
    char name[64] = "";
    if (GetClassNameA(window, name, sizeof(name)) && lstrcmpA(name, "__winex11_tray_icon") == 0 &&
        IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(param) = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FirstInTray(HWND window, LPARAM param) {
    char name[64] = "";
    if (GetClassNameA(window, name, sizeof(name)) &&
        lstrcmpA(name, "__winex11_standalone_tray") == 0)
        EnumChildWindows(window, FirstIcon, param);
    return *reinterpret_cast<HWND*>(param) == nullptr;
}

} // namespace

HWND FirstTrayIcon() {
    HWND icon = nullptr;
    EnumWindows(FirstInTray, reinterpret_cast<LPARAM>(&icon));
    return icon;
}

int CountTrayIcons() {
    int count = 0;
    EnumWindows(CountInTray, reinterpret_cast<LPARAM>(&count));
    return count;
}

} // namespace harness
