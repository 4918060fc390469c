// One entry of a menu: the label the menu shows and what the entry does,
// edited as a key's form is (the same kinds, Browse for a program).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "CActionForm.h"
#include "CDialog.h"

class CMenuEntryDlg : public CDialog {
public:
    // What the action's fields offer: programs, modes and menus by name.
    struct Offers {
        std::vector<std::string> programs;
        std::vector<std::string> modes;
        std::vector<std::string> menus;
    };
    // strLabel, strAction: the entry shown first (empty for a new one).
    CMenuEntryDlg(CWnd* pParent, const Offers& offers, const std::string& strLabel,
                  const std::string& strAction);

    // The entry as OK left it: UTF-8, an action KV480 reads.
    std::string m_strLabel;
    std::string m_strAction;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    const framework::MessageMap* GetMessageMap() const override;

private:
    LRESULT OnFormCommand(WPARAM wParam, LPARAM lParam);

    Offers m_offers;
    CActionForm m_form;
};
