// Which rule answers here: the user points the finder at a window, or picks
// one of the open windows, and sees for every key and form which file and
// section answer and what they do, as the running KV480 would answer, in the
// mode chosen (the one that is on, first).
#pragma once

#include <windows.h>

#include "CDialog.h"
#include "CFinderTool.h"
#include "CWhichRuleAnswers.h"

#include <string>
#include <vector>

class CWhichRuleDlg : public CDialog {
public:
    // Lists the keys nFirstKey to nLastKey: those of the remote the editor
    // shows. modes: those the key maps name; strModeOn: the one that is on.
    CWhichRuleDlg(CWnd* pParent, const CWhichRuleAnswers& answers,
                  const std::vector<std::string>& modes, const std::string& strModeOn,
                  int nFirstKey, int nLastKey);

protected:
    BOOL OnInitDialog() override;
    const framework::MessageMap* GetMessageMap() const override;

private:
    LRESULT OnFinderDropped(WPARAM wParam, LPARAM lParam);
    void OnWindowChosen();
    void OnModeChosen() { ShowAnswers(); }
    void ShowAnswers();

    const CWhichRuleAnswers& m_answers;
    std::vector<std::string> m_modes;
    std::string m_strModeOn;
    int m_nFirstKey;
    int m_nLastKey;
    CFinderTool m_finder;
    std::vector<HWND> m_windows;
    HWND m_hShown = nullptr;
};
