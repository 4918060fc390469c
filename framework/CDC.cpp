#include "CDC.h"

CDC::~CDC() {
    DeleteDC();
}

bool CDC::Attach(HDC hDC) {
    if (m_hDC != nullptr || hDC == nullptr) {
        return false;
    }
    m_hDC = hDC;
    m_bOwned = false;
    return true;
}

HDC CDC::Detach() {
    const HDC hDC = m_hDC;
    m_hDC = nullptr;
    m_bOwned = false;
    return hDC;
}

bool CDC::CreateCompatibleDC(const CDC* pDC) {
    if (m_hDC != nullptr) {
        return false;
    }
    m_hDC = ::CreateCompatibleDC(pDC != nullptr ? pDC->GetSafeHdc() : nullptr);
    m_bOwned = m_hDC != nullptr;
    return m_hDC != nullptr;
}

void CDC::DeleteDC() {
    if (m_hDC != nullptr && m_bOwned) {
        ::DeleteDC(m_hDC);
    }
    m_hDC = nullptr;
    m_bOwned = false;
}

bool CDC::IsPrinting() const {
    return m_hDC != nullptr && GetDeviceCaps(m_hDC, TECHNOLOGY) == DT_RASPRINTER;
}

HGDIOBJ CDC::SelectObject(HGDIOBJ hObject) {
    return ::SelectObject(m_hDC, hObject);
}

HGDIOBJ CDC::SelectStockObject(int nIndex) {
    return ::SelectObject(m_hDC, GetStockObject(nIndex));
}

int CDC::GetClipBox(RECT* pRect) const {
    return ::GetClipBox(m_hDC, pRect);
}

POINT CDC::SetWindowOrg(int x, int y) {
    POINT previous{0, 0};
    SetWindowOrgEx(m_hDC, x, y, &previous);
    return previous;
}

void CDC::FillRect(const RECT& rect, HBRUSH hBrush) {
    ::FillRect(m_hDC, &rect, hBrush);
}

bool CDC::BitBlt(int x, int y, int nWidth, int nHeight, const CDC* pSrcDC, int xSrc, int ySrc,
                 DWORD dwRop) {
    return ::BitBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC != nullptr ? pSrcDC->m_hDC : nullptr, xSrc,
                    ySrc, dwRop) != FALSE;
}

bool CDC::Rectangle(const RECT& rect) {
    return ::Rectangle(m_hDC, rect.left, rect.top, rect.right, rect.bottom) != FALSE;
}

bool CDC::Ellipse(const RECT& rect) {
    return ::Ellipse(m_hDC, rect.left, rect.top, rect.right, rect.bottom) != FALSE;
}

bool CDC::RoundRect(const RECT& rect, int nCornerWidth, int nCornerHeight) {
    return ::RoundRect(m_hDC, rect.left, rect.top, rect.right, rect.bottom, nCornerWidth,
                       nCornerHeight) != FALSE;
}

int CDC::SetBkMode(int nMode) {
    return ::SetBkMode(m_hDC, nMode);
}

COLORREF CDC::SetTextColor(COLORREF color) {
    return ::SetTextColor(m_hDC, color);
}

bool CDC::TextOut(int x, int y, const std::string& strText) {
    return ::TextOutA(m_hDC, x, y, strText.c_str(), static_cast<int>(strText.size())) != FALSE;
}

SIZE CDC::GetTextExtent(const std::string& strText) const {
    SIZE size{0, 0};
    GetTextExtentPoint32A(m_hDC, strText.c_str(), static_cast<int>(strText.size()), &size);
    return size;
}
