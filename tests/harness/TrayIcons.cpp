#include "TrayIcons.h"

#include <windows.h>

#include <algorithm>
#include <iterator>

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

// Pixels of exactly this colour in a rectangle of the screen.
int CountColour(const RECT& rect, COLORREF colour) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return 0;
    int count = 0;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    if (BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY)) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                count += GetPixel(memory, x, y) == colour ? 1 : 0;
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return count;
}

} // namespace

int CountTrayIcons() {
    return static_cast<int>(TrayIconWindows().size());
}

bool TrayIconShowsColour(unsigned long colour) {
    const int kFewPixels = 4;
    for (HWND icon : TrayIconWindows()) {
        RECT rect;
        if (GetWindowRect(icon, &rect) && CountColour(rect, colour) >= kFewPixels)
            return true;
    }
    return false;
}

HWND FirstTrayIcon() {
    const std::vector<HWND> icons = TrayIconWindows();
    return icons.empty() ? nullptr : icons.front();
}

std::vector<std::string> BalloonTexts() {
    std::vector<std::string> texts;
    for (HWND window = FindWindowExA(nullptr, nullptr, "tooltips_class32", nullptr);
         window != nullptr; window = FindWindowExA(nullptr, window, "tooltips_class32", nullptr)) {
        // Wide, as UTF-8: a character the ANSI code page lacks must show.
        wchar_t text[512] = L"";
        DWORD_PTR result = 0;
        if (IsWindowVisible(window) &&
            SendMessageTimeoutW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text),
                                SMTO_ABORTIFHUNG, 2000, &result)) {
            char utf8[4 * std::size(text)] = "";
            WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, static_cast<int>(sizeof(utf8)), nullptr,
                                nullptr);
            std::string line = utf8;
            std::replace(line.begin(), line.end(), '\n', ' ');
            texts.push_back(line);
        }
    }
    return texts;
}

} // namespace harness
