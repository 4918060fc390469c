// The pixels of a rectangle of the screen, as the user sees them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "Box.h"

namespace harness {

class Shot {
public:
    explicit Shot(const RECT& rect);

    bool Ok() const { return !m_pixels.empty(); }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

    COLORREF At(int x, int y) const {
        const std::uint32_t bgra = m_pixels[static_cast<size_t>(y) * m_width + x];
        return RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF);
    }

    Box Find(COLORREF colour) const { return Collect(colour, true); }
    Box FindOther(COLORREF colour) const { return Collect(colour, false); }

private:
    Box Collect(COLORREF colour, bool same) const;

    int m_width;
    int m_height;
    std::vector<std::uint32_t> m_pixels;
};

RECT ClientOnScreen(HWND window);
Shot ClientShot(HWND window);

} // namespace harness
