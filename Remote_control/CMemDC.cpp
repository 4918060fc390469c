#include "CMemDC.h"

CMemDC::CMemDC(CDC& target) : m_target(target) {
    if (!target.IsPrinting()) {
        target.GetClipBox(&m_rect);
        const int nWidth = m_rect.right - m_rect.left;
        const int nHeight = m_rect.bottom - m_rect.top;
        if (nWidth > 0 && nHeight > 0 && CreateCompatibleDC(&target)) {
            if (m_bitmap.CreateCompatibleBitmap(target, nWidth, nHeight)) {
                m_hOldBitmap = SelectObject(m_bitmap.GetSafeHandle());
                SetWindowOrg(m_rect.left, m_rect.top);
                m_bMemDC = true;
                return;
            }
            DeleteDC();
        }
    }
    // Straight into the target: its context is borrowed, never deleted here.
    Attach(target.GetSafeHdc());
}

CMemDC::~CMemDC() {
    if (!m_bMemDC) {
        Detach();
        return;
    }
    m_target.BitBlt(m_rect.left, m_rect.top, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top,
                    this, m_rect.left, m_rect.top, SRCCOPY);
    SelectObject(m_hOldBitmap);
    DeleteDC();
    m_bitmap.DeleteObject();
}
