// Asks for a mode's name: a new mode's, or a new one for the selected mode.
// What the name may be is the caller's to check.
#pragma once

#include <windows.h>

#include <string>

#include "CDialog.h"

class CModeNameDlg : public CDialog {
public:
    // strTitle: the window's caption; m_strName: the name offered first.
    CModeNameDlg(CWnd* pParent, const std::string& strTitle, const std::string& strName);

    // The name typed, UTF-8.
    std::string m_strName;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    std::string m_strTitle;
};
