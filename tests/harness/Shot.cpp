#include "Shot.h"

namespace harness {

Shot::Shot(const RECT& rect) : m_width(rect.right - rect.left), m_height(rect.bottom - rect.top) {
    if (m_width <= 0 || m_height <= 0)
        return;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = m_width;
    info.bmiHeader.biHeight = -m_height; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib != nullptr && bits != nullptr) {
        HGDIOBJ old = SelectObject(memory, dib);
        if (BitBlt(memory, 0, 0, m_width, m_height, screen, rect.left, rect.top, SRCCOPY)) {
            const auto* pixels = static_cast<const std::uint32_t*>(bits);
            m_pixels.assign(pixels, pixels + static_cast<size_t>(m_width) * m_height);
        }
        SelectObject(memory, old);
        DeleteObject(dib);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

Box Shot::Collect(COLORREF colour, bool same) const {
    Box box;
    if (!Ok())
        return box;
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x)
            if ((At(x, y) == colour) == same)
                box.Add(x, y);
    return box;
}

RECT ClientOnScreen(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    OffsetRect(&rect, origin.x, origin.y);
    return rect;
}

Shot ClientShot(HWND window) {
    return Shot(ClientOnScreen(window));
}

} // namespace harness
