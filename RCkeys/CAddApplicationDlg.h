// Adding an application: the finder, the list of open windows or a
// ready-made entry fill in the program and offer the window's class and
// caption with a suggested wildcard; the user keeps what they want.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "CDialog.h"
#include "CFinderTool.h"
#include "ReadyMadeEntries.h"

class CAddApplicationDlg : public CDialog {
public:
    explicit CAddApplicationDlg(CWnd* pParent);

    // Results, UTF-8; empty criteria are left out of the section.
    std::string m_strName;
    std::string m_strProgram;
    std::string m_strClass;
    std::string m_strWindow;
    // The ready-made entry taken, or null.
    const ReadyMadeEntry* m_pReadyMade = nullptr;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    const framework::MessageMap* GetMessageMap() const override;

private:
    LRESULT OnFinderDropped(WPARAM wParam, LPARAM lParam);
    void OnSelchangeWindows();
    void OnSelchangeReadyMade();
    void FillFromWindow(HWND hWnd);
    void FillWindowList();
    void EnableCriteria();

    CFinderTool m_finder;
    std::vector<HWND> m_windows;
};
