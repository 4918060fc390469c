#include "CStatic.h"

#include <vector>

CStatic::~CStatic() = default;

bool CStatic::SubclassDlgItem(UINT nID, CWnd* pParent) {
    if (pParent == nullptr || pParent->GetSafeHwnd() == nullptr) {
        return false;
    }
    const HWND hControl = GetDlgItem(pParent->GetSafeHwnd(), static_cast<int>(nID));
    if (hControl == nullptr || !SubclassWindow(hControl)) {
        return false;
    }
    PreSubclassWindow();
    return true;
}

HBITMAP CStatic::SetBitmap(HBITMAP hBitmap) {
    return reinterpret_cast<HBITMAP>(
        SendMessageA(m_hWnd, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(hBitmap)));
}

HBITMAP CStatic::GetBitmap() const {
    return reinterpret_cast<HBITMAP>(SendMessageA(m_hWnd, STM_GETIMAGE, IMAGE_BITMAP, 0));
}

void CStatic::SetWindowText(const std::string& strText) {
    ::SetWindowTextA(m_hWnd, strText.c_str());
}

std::string CStatic::GetWindowText() const {
    const int nLength = GetWindowTextLengthA(m_hWnd);
    if (nLength <= 0) {
        return std::string();
    }
    std::vector<char> buffer(static_cast<std::size_t>(nLength) + 1);
    const int nCopied = ::GetWindowTextA(m_hWnd, buffer.data(), static_cast<int>(buffer.size()));
    return std::string(buffer.data(), static_cast<std::size_t>(nCopied > 0 ? nCopied : 0));
}
