#include "CNameDlg.h"

#include "WindowFacts.h"
#include "resource.h"

CNameDlg::CNameDlg(CWnd* pParent, const Texts& texts, const std::string& strName)
    : CDialog(IDD_NAME, pParent), m_strName(strName), m_texts(texts) {}

BOOL CNameDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    window_facts::SetText(m_hWnd, m_texts.strTitle);
    window_facts::SetText(GetDlgItem(m_hWnd, IDC_NAME_NOTE), m_texts.strNote);
    window_facts::SetText(GetDlgItem(m_hWnd, IDC_NAME_LABEL), m_texts.strLabel);
    const HWND hName = GetDlgItem(m_hWnd, IDC_NAME);
    window_facts::SetText(hName, m_strName);
    SendMessageW(hName, EM_SETSEL, 0, -1);
    SetFocus(hName);
    // The focus is set here.
    return FALSE;
}

void CNameDlg::OnOK() {
    m_strName = window_facts::GetText(GetDlgItem(m_hWnd, IDC_NAME));
    CDialog::OnOK();
}
