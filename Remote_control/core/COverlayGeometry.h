#pragma once

#include <array>

// Where the presenter's overlays go on one monitor, and how large they are at
// its DPI: the spotlight's circle, the laser dot, the magnifier's lens and
// the part of the screen it enlarges, the talk timer in a corner. Lengths
// are designed for 96 DPI. Coordinates are the desktop's, as the monitor's.
class COverlayGeometry {
public:
    struct Point {
        int x;
        int y;
    };
    struct Rect {
        int left;
        int top;
        int right;
        int bottom;
        int Width() const { return right - left; }
        int Height() const { return bottom - top; }
    };

    // Lengths at 96 DPI.
    static constexpr int SPOTLIGHT_RADIUS = 140;
    static constexpr int DOT_SIZE = 18;
    static constexpr int LENS_SIZE = 280;
    static constexpr int ZOOM = 2;
    static constexpr int LENS_GAP = 24;
    static constexpr int TIMER_WIDTH = 150;
    static constexpr int TIMER_HEIGHT = 60;
    static constexpr int TIMER_MARGIN = 24;

    COverlayGeometry(const Rect& monitor, int nDpi);

    int Scaled(int nLength) const;
    int SpotlightRadius() const { return Scaled(SPOTLIGHT_RADIUS); }
    // The square around the circle, cut to the monitor: the spotlight's
    // ring window, which only moves while the square stays whole.
    Rect SpotlightBox(Point pointer) const;
    // The dark rest of the monitor around that square: above it, below it,
    // left and right of it (in that order; empty where the square meets the
    // monitor's edge). Together with the square they cover the monitor once.
    std::array<Rect, 4> SpotlightShades(Point pointer) const;
    // Centred on the pointer.
    Rect Dot(Point pointer) const;
    // Beside the pointer, right of it unless the monitor ends there, and clear
    // of the part it enlarges so that it never shows itself.
    Rect Lens(Point pointer) const;
    // The part of the monitor the lens shows ZOOM times larger, centred on the
    // pointer as far as the monitor allows.
    Rect LensSource(Point pointer) const;
    // The top right corner of the monitor.
    Rect Timer() const;

private:
    Rect m_monitor;
    int m_nDpi;
};
