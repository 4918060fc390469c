// Dialog data exchange: moves values between a dialog's members and its
// controls in both directions. A dialog lists its pairs in one function,
//
//     void CMyDlg::DoDataExchange(CDataExchange* pDX) {
//         DDX_Text(pDX, IDC_NAME, m_strName);
//         DDX_Control(pDX, IDC_LIST, m_list);
//     }
//
// and runs it with a CDataExchange made for the direction it wants: members
// to controls when the dialog opens or shows new values, controls to members
// when the user confirms.
#pragma once

#include <windows.h>

#include <string>

class CWnd;

class CDataExchange {
public:
    // bSaveAndValidate TRUE: controls to members; FALSE: members to controls.
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

    // The dialog's control nIDC; null (and the exchange marked failed) when
    // the dialog has none.
    HWND PrepareCtrl(int nIDC);

    // FALSE once a listed control was missing.
    BOOL Succeeded() const { return m_bSucceeded; }

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;

private:
    BOOL m_bSucceeded = TRUE;
};

// The text of an edit or any other control with a window text.
void DDX_Text(CDataExchange* pDX, int nIDC, std::string& value);
// A check box: 0 unchecked, 1 checked. Any nonzero value checks it.
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// Binds the control object to the dialog's control nIDC the first time; later
// exchanges leave it as it is. Both directions do the same.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
