// One form of a key in the editor's window (press, long press or double
// press): the list of kinds, the value field with its label, the Repeat box
// and the Browse button. It shows an action's parts, reads them back, and
// tells the window what a notification of one of its controls means.
#pragma once

#include <windows.h>

#include "ActionText.h"

#include <string>
#include <vector>

class CActionForm {
public:
    // The form's controls in the dialog's template.
    struct Ids {
        int nKind;
        int nValue;
        int nRepeat;
        int nBrowse;
        int nLabel;
        // What another entry decides, in the value's place, and its label.
        int nInherited;
        int nInheritedLabel;
    };

    // What a notification of the form's controls asks of the window.
    enum class Event {
        None,
        Changed,        // the action in the controls is another one
        ChosenFromList, // the same, its value picked from the field's list
        ValueFocused,   // the value field got the keyboard focus
        ValueLeft,      // ... and lost it
    };

    explicit CActionForm(const Ids& ids) : m_ids(ids) {}

    // Binds the form to the dialog's controls and fills the list of kinds.
    void Attach(HWND hDialog);
    bool Owns(int nId) const;
    HWND GetValueField() const { return Item(m_ids.nValue); }

    // Shows an action; read-only unless bWritable. strInherited: what answers
    // instead when the action is not set, shown in a read-only field that
    // Tab reaches. bProblem: KV480 cannot carry the action out.
    void Show(const ActionParts& parts, bool bWritable, const std::string& strInherited,
              bool bProblem);
    // Marks the action in the controls as one KV480 cannot carry out, or not.
    void MarkProblem(bool bProblem);
    // What the Program field's list offers.
    void SetPrograms(const std::vector<std::string>& programs) { m_programs = programs; }
    // What the Mode field's list offers besides Off.
    void SetModes(const std::vector<std::string>& modes) { m_modes = modes; }
    // The menus the key maps name, for a Menu action's list.
    void SetMenus(const std::vector<std::string>& menus) { m_menus = menus; }
    // For a menu's entry, after Attach: it acts once (no Repeat box) and
    // cannot steer the menu that shows it (no Menu steering kind).
    void ForMenuEntry();
    // The action the controls hold. bChosenFromList: the value is the entry
    // picked from the field's list, which the field does not show yet.
    ActionParts Read(bool bChosenFromList) const;
    // Whether the list of kinds shows a single keystroke, which the value
    // field may capture.
    bool IsKeystroke() const;
    // Replaces the value as the user would (a captured keystroke).
    void SetValue(const std::string& strValue);

    // A WM_COMMAND notification of one of the form's controls. Browse asks
    // for a program here and reports Changed when one was chosen.
    Event OnCommand(int nId, int nCode);

private:
    bool RepeatShown(const ActionParts& parts) const;
    HWND Item(int nId) const { return GetDlgItem(m_hDialog, nId); }
    // The line chosen in the list of kinds.
    std::size_t Row() const;
    // Shows the controls the line's kind needs, and the value list it offers.
    void ShowKind(std::size_t nRow);
    void ShowInherited(const std::string& strInherited);
    // The value field as wide as the controls beside it leave room for.
    void FitValue(const ActionParts& parts);
    RECT RectOf(int nId) const;
    bool Browse();

    Ids m_ids;
    HWND m_hDialog = nullptr;
    std::vector<std::string> m_programs;
    std::vector<std::string> m_modes;
    std::vector<std::string> m_menus;
    bool m_bWritable = false;
    bool m_bRepeatOffered = true;
    bool m_bProblem = false;
};
