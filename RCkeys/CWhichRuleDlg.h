// Which rule answers here: the user points the finder at a window, or picks
// one of the open windows, and sees for every key and form which file and
// section answer and what they do.
#pragma once

#include <windows.h>

#include "CDialog.h"
#include "CFinderTool.h"
#include "CKeyMapDocument.h"

#include <vector>

class CWhichRuleDlg : public CDialog {
public:
    // Lists the keys nFirstKey to nLastKey: those of the remote the editor shows.
    CWhichRuleDlg(CWnd* pParent, const CKeyMapDocument& user, const CKeyMapDocument& installed,
                  int nFirstKey, int nLastKey);

protected:
    BOOL OnInitDialog() override;
    const framework::MessageMap* GetMessageMap() const override;

private:
    LRESULT OnFinderDropped(WPARAM wParam, LPARAM lParam);
    void OnWindowChosen();
    void ShowAnswers(HWND hWindow);

    const CKeyMapDocument& m_user;
    const CKeyMapDocument& m_installed;
    int m_nFirstKey;
    int m_nLastKey;
    CFinderTool m_finder;
    std::vector<HWND> m_windows;
};
