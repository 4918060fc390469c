#include "CModeNameDlg.h"

#include "WindowFacts.h"
#include "resource.h"

CModeNameDlg::CModeNameDlg(CWnd* pParent, const std::string& strTitle, const std::string& strName)
    : CDialog(IDD_MODE_NAME, pParent), m_strName(strName), m_strTitle(strTitle) {}

BOOL CModeNameDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    window_facts::SetText(m_hWnd, m_strTitle);
    const HWND hName = GetDlgItem(m_hWnd, IDC_MODE_NAME);
    window_facts::SetText(hName, m_strName);
    SendMessageW(hName, EM_SETSEL, 0, -1);
    SetFocus(hName);
    // The focus is set here.
    return FALSE;
}

void CModeNameDlg::OnOK() {
    m_strName = window_facts::GetText(GetDlgItem(m_hWnd, IDC_MODE_NAME));
    CDialog::OnOK();
}
