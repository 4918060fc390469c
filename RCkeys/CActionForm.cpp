#include "CActionForm.h"

#include "CKeyAction.h"
#include "CKeyChord.h"
#include "WideText.h"
#include "WindowFacts.h"

#include <commdlg.h>

#include <algorithm>

namespace {

using Kind = CKeyAction::Kind;

// A line of the list of kinds: its name, the label of its value field (none:
// it takes no value), and the actions it stands for: none set, or actions of
// the kinds named, written as the first; keystrokes one or several.
struct KindRow {
    const char* pszName;
    const char* pszLabel;
    bool bSet;
    std::vector<Kind> kinds;
    bool bSequence;
};

const std::vector<KindRow>& Rows() {
    static const std::vector<KindRow> rows = {
        {"Not set", "", false, {}, false},
        {"Keystroke", "Keys:", true, {Kind::Keys}, false},
        {"Sequence of keystrokes", "Keys:", true, {Kind::Keys}, true},
        {"Text", "Text:", true, {Kind::Text}, false},
        {"Program", "Program:", true, {Kind::Run}, false},
        {"Mouse", "Mouse:", true, {Kind::MouseMove, Kind::MouseButton}, false},
        {"Nothing", "", true, {Kind::Nothing}, false},
        // Switched on by a press and off by the next.
        {"Presenter tool",
         "Tool:",
         true,
         {Kind::Spotlight, Kind::LaserDot, Kind::Magnifier, Kind::BlankScreen},
         false},
        {"Talk timer", "Time (m:ss):", true, {Kind::Timer}, false},
        // Another set of keys switched on, or back to the usual ones.
        {"Mode", "Mode:", true, {Kind::Mode}, false},
        {"PC", "PC action:", true, {Kind::Pc}, false},
        // KV480's on-screen menu: by name, the main one when none is given.
        {"On-screen menu", "Menu:", true, {Kind::Menu}, false},
        {"On-screen keyboard", "", true, {Kind::Keyboard}, false},
        // Moves in the open menu or keyboard, for the keys of the mode Menu;
        // the last line, which a menu's entry leaves out.
        {"Menu steering", "Steer:", true, {Kind::MenuSteer}, false},
    };
    return rows;
}

std::size_t RowOf(const ActionParts& parts) {
    const std::vector<KindRow>& rows = Rows();
    for (std::size_t nRow = 0; parts.bSet && nRow < rows.size(); ++nRow) {
        const KindRow& row = rows[nRow];
        if (row.bSet && row.bSequence == parts.bSequence &&
            std::find(row.kinds.begin(), row.kinds.end(), parts.kind) != row.kinds.end()) {
            return nRow;
        }
    }
    return 0;
}

// An action of the line, its value aside.
ActionParts PartsOf(std::size_t nRow) {
    const KindRow& row = Rows()[nRow];
    ActionParts parts;
    parts.bSet = row.bSet;
    parts.kind = row.kinds.empty() ? Kind::Nothing : row.kinds.front();
    parts.bSequence = row.bSequence;
    return parts;
}

void AddText(HWND hCombo, const std::string& strText) {
    SendMessageW(hCombo, CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(widetext::Widen(strText).c_str()));
}

} // namespace

void CActionForm::Attach(HWND hDialog) {
    m_hDialog = hDialog;
    for (const KindRow& row : Rows()) {
        AddText(Item(m_ids.nKind), row.pszName);
    }
}

void CActionForm::ForMenuEntry() {
    m_bRepeatOffered = false;
    SendMessageW(Item(m_ids.nKind), CB_DELETESTRING, Rows().size() - 1, 0);
}

bool CActionForm::Owns(int nId) const {
    return nId == m_ids.nKind || nId == m_ids.nValue || nId == m_ids.nRepeat ||
           nId == m_ids.nBrowse;
}

void CActionForm::Show(const ActionParts& parts, bool bWritable, const std::string& strInherited,
                       bool bProblem) {
    m_bWritable = bWritable;
    m_bProblem = bProblem;
    const std::size_t nRow = RowOf(parts);
    SendMessageA(Item(m_ids.nKind), CB_SETCURSEL, static_cast<WPARAM>(nRow), 0);
    for (int nId : {m_ids.nKind, m_ids.nValue, m_ids.nRepeat, m_ids.nBrowse}) {
        EnableWindow(Item(nId), bWritable);
    }
    window_facts::SetText(Item(m_ids.nValue), parts.strValue);
    ShowKind(nRow);
    CheckDlgButton(m_hDialog, m_ids.nRepeat, parts.bRepeat ? BST_CHECKED : BST_UNCHECKED);
    // So that a form another entry decides does not look, or sound, unused.
    ShowInherited(parts.bSet ? std::string() : strInherited);
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
    SetWindowTextA(Item(m_ids.nLabel), bProblem ? "Invalid:" : Rows()[Row()].pszLabel);
}

std::size_t CActionForm::Row() const {
    const LRESULT nRow = SendMessageA(Item(m_ids.nKind), CB_GETCURSEL, 0, 0);
    return nRow >= 0 && nRow < static_cast<LRESULT>(Rows().size()) ? static_cast<std::size_t>(nRow)
                                                                   : 0;
}

bool CActionForm::IsKeystroke() const {
    const ActionParts parts = PartsOf(Row());
    return parts.bSet && parts.kind == Kind::Keys && !parts.bSequence;
}

ActionParts CActionForm::Read(bool bChosenFromList) const {
    ActionParts parts = PartsOf(Row());
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
    parts.bRepeat = m_bRepeatOffered && IsDlgButtonChecked(m_hDialog, m_ids.nRepeat) == BST_CHECKED;
    return parts;
}

bool CActionForm::RepeatShown(const ActionParts& parts) const {
    return m_bRepeatOffered && ShowsRepeat(parts);
}

void CActionForm::SetValue(const std::string& strValue) {
    const HWND hValue = Item(m_ids.nValue);
    SendMessageA(hValue, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    window_facts::SetText(hValue, strValue);
}

CActionForm::Event CActionForm::OnCommand(int nId, int nCode) {
    if (nId == m_ids.nKind && nCode == CBN_SELCHANGE) {
        // The form now says for itself what the key does, from the kind's
        // empty form: a value of the kind before ("45:00" of a timer) would
        // stand as a wrong one of this kind.
        ShowInherited(std::string());
        SetValue(std::string());
        CheckDlgButton(m_hDialog, m_ids.nRepeat, BST_UNCHECKED);
        m_bProblem = false;
        ShowKind(Row());
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

void CActionForm::ShowKind(std::size_t nRow) {
    const KindRow& row = Rows()[nRow];
    const ActionParts parts = PartsOf(nRow);
    const bool bValue = *row.pszLabel != '\0';
    const HWND hValue = Item(m_ids.nValue);
    ShowWindow(hValue, bValue ? SW_SHOWNA : SW_HIDE);
    ShowWindow(Item(m_ids.nLabel), bValue ? SW_SHOWNA : SW_HIDE);
    MarkProblem(m_bProblem && bValue);
    FitValue(parts);
    ShowWindow(Item(m_ids.nRepeat), RepeatShown(parts) ? SW_SHOWNA : SW_HIDE);
    ShowWindow(Item(m_ids.nBrowse), parts.kind == Kind::Run ? SW_SHOWNA : SW_HIDE);
    // The list offers what may be written for the kind.
    const std::string strValue = window_facts::GetText(hValue);
    SendMessageW(hValue, CB_RESETCONTENT, 0, 0);
    std::vector<std::string> offered;
    if (IsKeystroke()) {
        offered = CKeyChord::KeyNames();
    } else if (parts.kind == Kind::Run) {
        offered = m_programs;
    } else if (parts.kind == Kind::Timer) {
        offered = TimerSuggestions();
    } else if (parts.kind == Kind::Mode) {
        offered = m_modes;
    } else if (parts.kind == Kind::Menu) {
        offered = m_menus;
    }
    for (const Kind kind : row.kinds) {
        for (const std::string& strWord : CKeyAction::WordsOf(kind)) {
            offered.push_back(strWord);
        }
    }
    for (const std::string& strText : offered) {
        AddText(hValue, strText);
    }
    window_facts::SetText(hValue, strValue);
}

RECT CActionForm::RectOf(int nId) const {
    RECT rc = {0, 0, 0, 0};
    GetWindowRect(Item(nId), &rc);
    MapWindowPoints(nullptr, m_hDialog, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

void CActionForm::FitValue(const ActionParts& parts) {
    // Up to the Repeat box or the Browse button when they show, else as far
    // as the list of kinds reaches.
    RECT gap = {0, 0, 4, 0};
    MapDialogRect(m_hDialog, &gap);
    const RECT value = RectOf(m_ids.nValue);
    LONG nRight = RectOf(m_ids.nKind).right;
    if (RepeatShown(parts)) {
        nRight = RectOf(m_ids.nRepeat).left - gap.right;
    } else if (parts.kind == Kind::Run) {
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
