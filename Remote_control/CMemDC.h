// An off-screen surface over a target device context: everything drawn into
// it appears on the target in one block copy when the object ends, so a
// repainted picture never flickers. Callers draw in the target's coordinates.
// A printer's context (and a target for which no surface can be made) is
// drawn into directly.
#pragma once

#include <windows.h>

#include "CBitmap.h"
#include "CDC.h"

class CMemDC : public CDC {
public:
    explicit CMemDC(CDC& target);
    ~CMemDC() override;
    CMemDC(const CMemDC&) = delete;
    CMemDC& operator=(const CMemDC&) = delete;

    // True while drawing goes to the off-screen surface.
    bool IsOffScreen() const { return m_bMemDC; }
    // The part of the target the surface covers (the target's clip box).
    const RECT& Rect() const { return m_rect; }

private:
    CDC& m_target;
    CBitmap m_bitmap;
    HGDIOBJ m_hOldBitmap = nullptr;
    RECT m_rect{0, 0, 0, 0};
    bool m_bMemDC = false;
};
