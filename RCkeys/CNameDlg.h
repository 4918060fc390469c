// Asks for the name of a mode or a menu: a new one's, or a new name for the
// selected one. What the name may be is the caller's to check.
#pragma once

#include <windows.h>

#include <string>

#include "CDialog.h"

class CNameDlg : public CDialog {
public:
    // What the window says: its caption, what a mode or a menu is, the
    // field's label (with its mnemonic).
    struct Texts {
        std::string strTitle;
        std::string strNote;
        std::string strLabel;
    };
    // m_strName: the name offered first.
    CNameDlg(CWnd* pParent, const Texts& texts, const std::string& strName);

    // The name typed, UTF-8.
    std::string m_strName;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    Texts m_texts;
};
