// Which rule answers here: the user points the finder at a window and sees,
// for every key and form, which file and section answer and what they do.
#pragma once

#include <windows.h>

#include "CDialog.h"
#include "CFinderTool.h"
#include "CKeyMapDocument.h"

class CWhichRuleDlg : public CDialog {
public:
    CWhichRuleDlg(CWnd* pParent, const CKeyMapDocument& user, const CKeyMapDocument& installed);

protected:
    BOOL OnInitDialog() override;
    const framework::MessageMap* GetMessageMap() const override;

private:
    LRESULT OnFinderDropped(WPARAM wParam, LPARAM lParam);

    const CKeyMapDocument& m_user;
    const CKeyMapDocument& m_installed;
    CFinderTool m_finder;
};
