// A combo box of a dialog, reached through the data exchange (DDX_Control).
// Thin: each call is one message to the control.
#pragma once

#include <windows.h>

#include <string>

#include "CWnd.h"

class CComboBox : public CWnd {
public:
    CComboBox() = default;
    ~CComboBox() override;

    void ResetContent();
    // The new entry's index (its place in a sorted list), or CB_ERR /
    // CB_ERRSPACE when it was not added.
    int AddString(const std::string& strText);
    int GetCount() const;
    // CB_ERR when nothing is selected.
    int GetCurSel() const;
    // nIndex -1 clears the selection. Sends no CBN_SELCHANGE.
    int SetCurSel(int nIndex);
    // The value kept with an entry; CB_ERR for an index that does not exist.
    DWORD_PTR GetItemData(int nIndex) const;
    int SetItemData(int nIndex, DWORD_PTR dwItemData);
};
