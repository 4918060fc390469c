#include "CBitmap.h"

#include "CDC.h"
#include "CWinApp.h"

CBitmap::~CBitmap() {
    DeleteObject();
}

bool CBitmap::LoadBitmap(UINT nIDResource) {
    if (m_hBitmap != nullptr) {
        return false;
    }
    m_hBitmap = ::LoadBitmapA(framework::AfxGetInstanceHandle(), MAKEINTRESOURCEA(nIDResource));
    return m_hBitmap != nullptr;
}

bool CBitmap::CreateCompatibleBitmap(const CDC& dc, int nWidth, int nHeight) {
    if (m_hBitmap != nullptr || dc.GetSafeHdc() == nullptr) {
        return false;
    }
    m_hBitmap = ::CreateCompatibleBitmap(dc.GetSafeHdc(), nWidth, nHeight);
    return m_hBitmap != nullptr;
}

bool CBitmap::GetBitmap(BITMAP* pBitmap) const {
    if (m_hBitmap == nullptr || pBitmap == nullptr) {
        return false;
    }
    return GetObjectA(m_hBitmap, sizeof(BITMAP), pBitmap) != 0;
}

void CBitmap::DeleteObject() {
    if (m_hBitmap != nullptr) {
        ::DeleteObject(m_hBitmap);
        m_hBitmap = nullptr;
    }
}
