#include "CComboBox.h"

CComboBox::~CComboBox() = default;

void CComboBox::ResetContent() {
    SendMessageA(m_hWnd, CB_RESETCONTENT, 0, 0);
}

int CComboBox::AddString(const std::string& strText) {
    return static_cast<int>(
        SendMessageA(m_hWnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(strText.c_str())));
}

int CComboBox::GetCount() const {
    return static_cast<int>(SendMessageA(m_hWnd, CB_GETCOUNT, 0, 0));
}

int CComboBox::GetCurSel() const {
    return static_cast<int>(SendMessageA(m_hWnd, CB_GETCURSEL, 0, 0));
}

int CComboBox::SetCurSel(int nIndex) {
    return static_cast<int>(SendMessageA(m_hWnd, CB_SETCURSEL, static_cast<WPARAM>(nIndex), 0));
}

DWORD_PTR CComboBox::GetItemData(int nIndex) const {
    return static_cast<DWORD_PTR>(
        SendMessageA(m_hWnd, CB_GETITEMDATA, static_cast<WPARAM>(nIndex), 0));
}

int CComboBox::SetItemData(int nIndex, DWORD_PTR dwItemData) {
    return static_cast<int>(SendMessageA(m_hWnd, CB_SETITEMDATA, static_cast<WPARAM>(nIndex),
                                         static_cast<LPARAM>(dwItemData)));
}
