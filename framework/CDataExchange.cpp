#include "CDataExchange.h"

#include "CWnd.h"

#include <vector>

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

HWND CDataExchange::PrepareCtrl(int nIDC) {
    const HWND hDlg = m_pDlgWnd != nullptr ? m_pDlgWnd->GetSafeHwnd() : nullptr;
    const HWND hControl = hDlg != nullptr ? GetDlgItem(hDlg, nIDC) : nullptr;
    if (hControl == nullptr) {
        m_bSucceeded = FALSE;
    }
    return hControl;
}

void DDX_Text(CDataExchange* pDX, int nIDC, std::string& value) {
    const HWND hControl = pDX->PrepareCtrl(nIDC);
    if (hControl == nullptr) {
        return;
    }
    if (!pDX->m_bSaveAndValidate) {
        SetWindowTextA(hControl, value.c_str());
        return;
    }
    const int nLength = GetWindowTextLengthA(hControl);
    std::vector<char> buffer(static_cast<std::size_t>(nLength > 0 ? nLength : 0) + 1, '\0');
    const int nCopied = GetWindowTextA(hControl, buffer.data(), static_cast<int>(buffer.size()));
    value.assign(buffer.data(), static_cast<std::size_t>(nCopied > 0 ? nCopied : 0));
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
    const HWND hControl = pDX->PrepareCtrl(nIDC);
    if (hControl == nullptr) {
        return;
    }
    if (!pDX->m_bSaveAndValidate) {
        SendMessageA(hControl, BM_SETCHECK, value != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
        return;
    }
    value = SendMessageA(hControl, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.GetSafeHwnd() != nullptr) {
        return;
    }
    const HWND hControl = pDX->PrepareCtrl(nIDC);
    if (hControl != nullptr) {
        rControl.SubclassWindow(hControl);
    }
}
