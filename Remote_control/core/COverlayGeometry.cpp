#include "COverlayGeometry.h"

namespace {

const int BASE_DPI = 96;

int Clamp(int nValue, int nLow, int nHigh) {
    return nValue < nLow ? nLow : (nValue > nHigh ? nHigh : nValue);
}

} // namespace

COverlayGeometry::COverlayGeometry(const Rect& monitor, int nDpi)
    : m_monitor(monitor), m_nDpi(nDpi > 0 ? nDpi : BASE_DPI) {}

int COverlayGeometry::Scaled(int nLength) const {
    return (nLength * m_nDpi + BASE_DPI / 2) / BASE_DPI;
}

COverlayGeometry::Rect COverlayGeometry::SpotlightBox(Point pointer) const {
    // One pixel more each way for the circle's soft edge.
    const int nReach = SpotlightRadius() + 2;
    return {Clamp(pointer.x - nReach, m_monitor.left, m_monitor.right),
            Clamp(pointer.y - nReach, m_monitor.top, m_monitor.bottom),
            Clamp(pointer.x + nReach, m_monitor.left, m_monitor.right),
            Clamp(pointer.y + nReach, m_monitor.top, m_monitor.bottom)};
}

std::array<COverlayGeometry::Rect, 4> COverlayGeometry::SpotlightShades(Point pointer) const {
    const Rect box = SpotlightBox(pointer);
    const Rect& m = m_monitor;
    // Above and below span the monitor's width; beside only the square's rows.
    return {{{m.left, m.top, m.right, box.top},
             {m.left, box.bottom, m.right, m.bottom},
             {m.left, box.top, box.left, box.bottom},
             {box.right, box.top, m.right, box.bottom}}};
}

COverlayGeometry::Rect COverlayGeometry::Dot(Point pointer) const {
    const int nSize = Scaled(DOT_SIZE);
    const int nLeft = pointer.x - nSize / 2;
    const int nTop = pointer.y - nSize / 2;
    return {nLeft, nTop, nLeft + nSize, nTop + nSize};
}

COverlayGeometry::Rect COverlayGeometry::LensSource(Point pointer) const {
    const int nSize = Scaled(LENS_SIZE) / ZOOM;
    const int nLeft = Clamp(pointer.x - nSize / 2, m_monitor.left, m_monitor.right - nSize);
    const int nTop = Clamp(pointer.y - nSize / 2, m_monitor.top, m_monitor.bottom - nSize);
    return {nLeft, nTop, nLeft + nSize, nTop + nSize};
}

COverlayGeometry::Rect COverlayGeometry::Lens(Point pointer) const {
    const int nSize = Scaled(LENS_SIZE);
    const int nGap = Scaled(LENS_GAP);
    const Rect source = LensSource(pointer);
    int nLeft = source.right + nGap;
    if (nLeft + nSize > m_monitor.right) {
        nLeft = source.left - nGap - nSize;
    }
    const int nTop = Clamp(pointer.y - nSize / 2, m_monitor.top, m_monitor.bottom - nSize);
    return {nLeft, nTop, nLeft + nSize, nTop + nSize};
}

COverlayGeometry::Rect COverlayGeometry::Timer() const {
    const int nMargin = Scaled(TIMER_MARGIN);
    const int nRight = m_monitor.right - nMargin;
    const int nTop = m_monitor.top + nMargin;
    return {nRight - Scaled(TIMER_WIDTH), nTop, nRight, nTop + Scaled(TIMER_HEIGHT)};
}
