#include "CActionForm.h"

#include "CKeyAction.h"
#include "CKeyChord.h"
#include "WideText.h"
#include "WindowFacts.h"

#include <commdlg.h>

#include <iterator>

namespace {

// In the order of ActionKind: the kind's name in the list and the label of
// its value field (none: the kind takes no value).
struct KindText {
    const char* pszName;
    const char* pszLabel;
};
const KindText KINDS[] = {
    {"Not set", ""},
    {"Keystroke", "Keys:"},
    {"Sequence of keystrokes", "Keys:"},
    {"Text", "Text:"},
    {"Program", "Program:"},
    {"Mouse", "Mouse:"},
    {"Nothing", ""},
    // Switched on by a press and off by the next.
    {"Presenter tool", "Tool:"},
    {"Talk timer", "Time (m:ss):"},
    // Another set of keys switched on, or back to the usual ones.
    {"Mode", "Mode:"},
    {"PC", "PC action:"},
};
static_assert(std::size(KINDS) == static_cast<std::size_t>(ActionKind::Pc) + 1,
              "a row for every kind, in its order");

void AddText(HWND hCombo, const std::string& strText) {
    SendMessageW(hCombo, CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(widetext::Widen(strText).c_str()));
}

} // namespace

void CActionForm::Attach(HWND hDialog) {
    m_hDialog = hDialog;
    for (const KindText& kind : KINDS) {
        AddText(Item(m_ids.nKind), kind.pszName);
    }
}

bool CActionForm::Owns(int nId) const {
    return nId == m_ids.nKind || nId == m_ids.nValue || nId == m_ids.nRepeat ||
           nId == m_ids.nBrowse;
}

void CActionForm::Show(const ActionParts& parts, bool bWritable, const std::string& strInherited,
                       bool bProblem) {
    m_bWritable = bWritable;
    m_bProblem = bProblem;
    SendMessageA(Item(m_ids.nKind), CB_SETCURSEL, static_cast<WPARAM>(parts.kind), 0);
    for (int nId : {m_ids.nKind, m_ids.nValue, m_ids.nRepeat, m_ids.nBrowse}) {
        EnableWindow(Item(nId), bWritable);
    }
    window_facts::SetText(Item(m_ids.nValue), parts.strValue);
    ShowKind(parts.kind);
    CheckDlgButton(m_hDialog, m_ids.nRepeat, parts.bRepeat ? BST_CHECKED : BST_UNCHECKED);
    // So that a form another entry decides does not look, or sound, unused.
    ShowInherited(parts.kind == ActionKind::NotSet ? strInherited : std::string());
}

void CActionForm::ShowInherited(const std::string& strInherited) {
    // Read-only rather than disabled: a screen reader's user reaches it by Tab.
    const HWND hInherited = Item(m_ids.nInherited);
    window_facts::SetText(hInherited, strInherited);
    const int nShow = strInherited.empty() ? SW_HIDE : SW_SHOWNA;
    ShowWindow(hInherited, nShow);
    ShowWindow(Item(m_ids.nInheritedLabel), nShow);
}

void CActionForm::MarkProblem(bool bProblem) {
    m_bProblem = bProblem;
    const ActionKind kind = GetKind();
    SetWindowTextA(Item(m_ids.nLabel),
                   bProblem ? "Invalid:" : KINDS[static_cast<int>(kind)].pszLabel);
}

ActionKind CActionForm::GetKind() const {
    const LRESULT nKind = SendMessageA(Item(m_ids.nKind), CB_GETCURSEL, 0, 0);
    return nKind >= 0 && nKind < static_cast<LRESULT>(std::size(KINDS))
               ? static_cast<ActionKind>(nKind)
               : ActionKind::NotSet;
}

ActionParts CActionForm::Read(bool bChosenFromList) const {
    ActionParts parts;
    parts.kind = GetKind();
    const HWND hValue = Item(m_ids.nValue);
    parts.strValue = window_facts::GetText(hValue);
    const LRESULT nChosen = bChosenFromList ? SendMessageA(hValue, CB_GETCURSEL, 0, 0) : CB_ERR;
    const LRESULT nLength =
        nChosen >= 0 ? SendMessageW(hValue, CB_GETLBTEXTLEN, static_cast<WPARAM>(nChosen), 0) : 0;
    if (nLength > 0) {
        std::wstring strItem(static_cast<std::size_t>(nLength) + 1, L'\0');
        SendMessageW(hValue, CB_GETLBTEXT, static_cast<WPARAM>(nChosen),
                     reinterpret_cast<LPARAM>(&strItem[0]));
        strItem.resize(static_cast<std::size_t>(nLength));
        parts.strValue = widetext::Narrow(strItem.c_str());
    }
    parts.bRepeat = IsDlgButtonChecked(m_hDialog, m_ids.nRepeat) == BST_CHECKED;
    return parts;
}

void CActionForm::SetValue(const std::string& strValue) {
    const HWND hValue = Item(m_ids.nValue);
    SendMessageA(hValue, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    window_facts::SetText(hValue, strValue);
}

CActionForm::Event CActionForm::OnCommand(int nId, int nCode) {
    if (nId == m_ids.nKind && nCode == CBN_SELCHANGE) {
        // The form now says for itself what the key does.
        ShowInherited(std::string());
        ShowKind(GetKind());
        return Event::Changed;
    }
    if (nId == m_ids.nValue) {
        switch (nCode) {
        case CBN_EDITCHANGE:
            return Event::Changed;
        case CBN_SELCHANGE:
            return Event::ChosenFromList;
        case CBN_SETFOCUS:
            return Event::ValueFocused;
        case CBN_KILLFOCUS:
        case CBN_DROPDOWN:
            // The arrow keys then move in the open list.
            return Event::ValueLeft;
        case CBN_CLOSEUP: {
            const HWND hFocus = GetFocus();
            const HWND hValue = Item(m_ids.nValue);
            return hFocus == hValue || GetParent(hFocus) == hValue ? Event::ValueFocused
                                                                   : Event::None;
        }
        default:
            return Event::None;
        }
    }
    if (nId == m_ids.nRepeat && nCode == BN_CLICKED) {
        return Event::Changed;
    }
    if (nId == m_ids.nBrowse && nCode == BN_CLICKED && Browse()) {
        return Event::Changed;
    }
    return Event::None;
}

void CActionForm::ShowKind(ActionKind kind) {
    const bool bValue = kind != ActionKind::NotSet && kind != ActionKind::Nothing;
    const HWND hValue = Item(m_ids.nValue);
    ShowWindow(hValue, bValue ? SW_SHOWNA : SW_HIDE);
    ShowWindow(Item(m_ids.nLabel), bValue ? SW_SHOWNA : SW_HIDE);
    MarkProblem(m_bProblem && bValue);
    FitValue(kind);
    ShowWindow(Item(m_ids.nRepeat), KindRepeats(kind) ? SW_SHOWNA : SW_HIDE);
    ShowWindow(Item(m_ids.nBrowse), kind == ActionKind::Program ? SW_SHOWNA : SW_HIDE);
    // The list offers what may be written for the kind.
    const std::string strValue = window_facts::GetText(hValue);
    SendMessageW(hValue, CB_RESETCONTENT, 0, 0);
    if (kind == ActionKind::Keystroke) {
        for (const std::string& strName : CKeyChord::KeyNames()) {
            AddText(hValue, strName);
        }
    } else if (kind == ActionKind::Mouse) {
        for (const std::string& strName : MouseActionNames()) {
            AddText(hValue, strName);
        }
    } else if (kind == ActionKind::Program) {
        for (const std::string& strProgram : m_programs) {
            AddText(hValue, strProgram);
        }
    } else if (kind == ActionKind::PresenterTool) {
        for (const std::string& strName : PresenterToolNames()) {
            AddText(hValue, strName);
        }
    } else if (kind == ActionKind::Timer) {
        for (const std::string& strTime : TimerSuggestions()) {
            AddText(hValue, strTime);
        }
    } else if (kind == ActionKind::Mode) {
        for (const std::string& strMode : m_modes) {
            AddText(hValue, strMode);
        }
        AddText(hValue, ModeOffWord());
    } else if (kind == ActionKind::Pc) {
        for (const std::string& strName : CKeyAction::PcNames()) {
            AddText(hValue, strName);
        }
    }
    window_facts::SetText(hValue, strValue);
}

RECT CActionForm::RectOf(int nId) const {
    RECT rc = {0, 0, 0, 0};
    GetWindowRect(Item(nId), &rc);
    MapWindowPoints(nullptr, m_hDialog, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

void CActionForm::FitValue(ActionKind kind) {
    // Up to the Repeat box or the Browse button when they show, else as far
    // as the list of kinds reaches.
    RECT gap = {0, 0, 4, 0};
    MapDialogRect(m_hDialog, &gap);
    const RECT value = RectOf(m_ids.nValue);
    LONG nRight = RectOf(m_ids.nKind).right;
    if (KindRepeats(kind)) {
        nRight = RectOf(m_ids.nRepeat).left - gap.right;
    } else if (kind == ActionKind::Program) {
        nRight = RectOf(m_ids.nBrowse).left - gap.right;
    }
    // A combo box's height includes its list's.
    RECT dropped = {0, 0, 0, 0};
    SendMessageA(Item(m_ids.nValue), CB_GETDROPPEDCONTROLRECT, 0,
                 reinterpret_cast<LPARAM>(&dropped));
    SetWindowPos(Item(m_ids.nValue), nullptr, 0, 0, nRight - value.left,
                 dropped.bottom - dropped.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The list shows whole program paths even where the field is narrow.
    SendMessageA(Item(m_ids.nValue), CB_SETDROPPEDWIDTH,
                 static_cast<WPARAM>(RectOf(m_ids.nKind).right - RectOf(m_ids.nLabel).left), 0);
}

bool CActionForm::Browse() {
    const std::string strFile = window_facts::AskFile(
        m_hDialog, false, L"Programs (*.exe)\0*.exe\0All files\0*.*\0", nullptr, "");
    if (strFile.empty()) {
        return false;
    }
    window_facts::SetText(Item(m_ids.nValue), "\"" + strFile + "\"");
    return true;
}
