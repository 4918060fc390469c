// What the key-map editor shows and changes, without its window: the user's
// and the installation folder's key maps, the applications in the order
// KV480 asks them, the selected application, remote type and key, the
// actions of that key, and the status line. Texts are UTF-8; an ANSI file's
// text is converted with the functions the window gives.
#pragma once

#include "CKeyMapDocument.h"
#include "CPublishedState.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

struct ReadyMadeEntry;

class CKeysEditorModel {
public:
    using Convert = std::function<std::string(const std::string&)>;
    // UTF-8 to the code page; false when a character has no place in it.
    using ConvertExact = std::function<bool(const std::string&, std::string&)>;
    using Form = CKeyMapDocument::Form;

    // How the user's file was found.
    enum class FileState { Ok, Missing, Folder, Unreadable };

    // One line of the applications list.
    struct Entry {
        bool bInstalled;       // the installation folder's section, read-only
        bool bMissingCatchAll; // "All applications" before the user set any key
        std::size_t nSection;
        std::string strText;
        std::string strMode; // the mode the section belongs to; empty for none
    };

    // ansiToUtf8 and utf8ToAnsi: the system's code page, for ANSI files. An
    // ANSI file that cannot hold new text becomes UTF-8 instead.
    CKeysEditorModel(Convert ansiToUtf8, ConvertExact utf8ToAnsi);

    // Replaces both key maps and lists their applications, the user's
    // catch-all selected.
    void Load(const std::string& strUserFile, FileState state, const std::string& strUserBytes,
              const std::string& strInstalledBytes);
    // False when saving could lose what the user's file holds.
    bool CanSave() const { return m_bCanSave; }
    // Why nothing can be saved, or what KV480 will not read; empty: nothing.
    const std::string& GetLoadNote() const { return m_strLoadNote; }
    const std::string& GetUserFile() const { return m_strUserFile; }
    const CKeyMapDocument& GetUser() const { return m_user; }
    const CKeyMapDocument& GetInstalled() const { return m_installed; }
    bool IsModified() const { return m_user.IsModified(); }
    // Whether another program changed the user's file since it was read or
    // saved here, given how the file is now.
    bool ChangedOnDisk(FileState state, const std::string& strOnDisk) const;
    // The user's file as bytes to write, and the note that they were written
    // (strImportedFrom: the file an import took them from; empty for a save).
    std::string GetUserBytes() const { return m_user.Save(); }
    void Saved(const std::string& strBytes, const std::string& strImportedFrom = std::string());

    const std::vector<Entry>& GetApplications() const { return m_apps; }
    int GetSelected() const { return m_nApp; }
    // The selected entry, null when none.
    const Entry* Selected() const;
    // Selects an entry; the first one for a number out of range.
    void SelectApplication(int nItem);
    // Lists the applications again, selecting the user's section nSection (or
    // the installation folder's, bInstalled); the catch-all entry or the
    // first when that is not listed.
    void ListApplications(std::size_t nSection, bool bInstalled);
    // The selected entry's keys can be changed.
    bool IsSelectedWritable() const;
    bool CanMove(bool bUp) const;
    bool CanRemove() const;
    // False when there is no section to swap with.
    bool MoveSelected(bool bUp);
    void RemoveSelected();
    // Adds the user's application above the catch-all, with the ready-made
    // entry's keys (null: none), and selects it.
    void AddApplication(const std::string& strName, const std::string& strProgram,
                        const std::string& strClass, const std::string& strWindow,
                        const ReadyMadeEntry* pReadyMade);
    // The selected entry's name as its file gives it.
    std::string SelectedName() const;

    // Every mode of both key maps, once each: the user's first.
    std::vector<std::string> ModeNames() const;
    // The modes "Which rule answers here" offers: every mode, and Menu, which
    // is on while KV480's menu is open, whether a section names it or not.
    std::vector<std::string> WhichRuleModes() const;
    // The modes a key's Mode action offers: every mode but Menu, which only
    // an open menu switches on (a key that switched it on would open none).
    std::vector<std::string> ModeChoices() const;
    // Every menu of both key maps, once each: the user's first.
    std::vector<std::string> MenuNames() const;
    // Adds a section of a new mode to the user's file, serving every window,
    // and selects it; false, with the reason, when the name cannot be used.
    bool AddMode(const std::string& strName, std::string& strReason);
    // Adds a section of a new menu to the user's file, for every window, and
    // selects it; false, with the reason, when the name cannot be used.
    bool AddMenu(const std::string& strName, std::string& strReason);
    // Whether the selected entry holds a menu's entries rather than keys.
    bool IsMenuSelected() const;
    // The selected entry's menu as its Menu line names it; empty for none.
    std::string SelectedMenuName() const;
    // The selected menu's entries ("\"<label>\" <action>"), in order; set
    // in the user's file, numbered again from 1.
    std::vector<std::string> GetMenuItems() const;
    void SetMenuItems(const std::vector<std::string>& items);
    // Why KV480 would skip a menu entry of that label and action; empty when
    // it shows it.
    static std::string MenuItemProblem(const std::string& strLabel, const std::string& strAction);
    // Sets the selected menu's entry nItem (one past the last: a new entry at
    // the end); false, with the reason, when KV480 would skip it or the menu
    // is full or not the user's.
    bool SetMenuItem(std::size_t nItem, const std::string& strLabel, const std::string& strAction,
                     std::string& strReason);
    void RemoveMenuItem(std::size_t nItem);
    // Swaps the entry with the one above or below; false when there is none.
    bool MoveMenuItem(std::size_t nItem, bool bUp);
    // The selected menu's scanning step in milliseconds as written; empty: none.
    std::string GetScan() const;
    void SetScan(const std::string& strMs);
    // Whether the selected entry is a mode of the user's file.
    bool CanRenameMode() const;
    // Renames the selected entry's mode: the Mode lines of its sections and
    // the actions that switch to it in the user's file.
    bool RenameMode(const std::string& strName, std::string& strReason);
    // Whether the selected entry is a menu of the user's file.
    bool CanRenameMenu() const;
    // Renames the selected entry's menu: the Menu lines of its sections and
    // the actions (of keys and of menu entries) that open it in the user's file.
    bool RenameMenu(const std::string& strName, std::string& strReason);

    // Remote type (settings' RcType) and key.
    int GetRcType() const { return m_nRcType; }
    int GetKey() const { return m_nKey; }
    int GetFirstKey() const;
    int GetLastKey() const;
    // Keeps the key when it is of that type, else takes the type's first.
    void SelectRcType(int nRcType);
    // Selects a key of either type, switching the type; false for no key.
    bool SelectKey(int nKey);

    // The selected key's action of a form in the selected entry; empty: not set.
    std::string GetAction(Form form) const;
    // Sets it in the user's file; creates the catch-all section at its first key.
    void SetAction(Form form, const std::string& strAction);
    // Whether the selected entry sets any form of the key.
    bool IsKeySet(int nKey) const;
    // Whether the selected entry sets that form of the key.
    bool IsFormSet(int nKey, Form form) const;
    // Why KV480 cannot carry out the selected entry's action of a form; empty
    // when it can or the form is not set.
    std::string GetProblem(Form form) const;
    // Whether KV480 cannot carry out some form the selected entry sets for the key.
    bool HasProblem(int nKey) const;

    // What answers for a form of the selected key that the selected entry
    // leaves not set: another entry, found as KV480 asks them for a window
    // the entry serves.
    struct Inherited {
        std::string strAction; // empty: nothing answers
        std::string strFrom;   // the entry, as the applications list names it
    };
    Inherited GetInherited(Form form) const;

    // The programs the key maps start, for the Program field's list.
    std::vector<std::string> NamedPrograms() const;
    // Why a file cannot replace the user's key map; empty when it can.
    static std::string ImportProblem(const std::string& strBytes);

    // What the running KV480 publishes: whether a save takes effect.
    void SetResident(const CPublishedState& resident) { m_resident = resident; }
    const CPublishedState& GetResident() const { return m_resident; }
    // Whether the running KV480 reads the user's key map; when none runs
    // (or what it publishes is damaged), as a KV480 started normally would.
    bool IsUserFileRead() const;

    // The status line: the selected entry's criteria and what else the user
    // should know: forms KV480 cannot carry out, long and double presses
    // another entry decides. strNote: a word on the edit just made.
    std::string StatusText(bool bCapturing, const std::string& strNote) const;

    // The key and form a ready-made entry's key name ("Key5", "Key6 long") means.
    static void ReadyMadeKey(const char* pszKey, int& nKey, Form& form);

private:
    // The list's text of a section.
    std::string EntryText(bool bInstalled, std::size_t nSection) const;
    // The list's text of the entry KV480's answer comes from.
    std::string AnswerText(bool bInstalled, const std::string& strSection,
                           const std::string& strMode) const;
    // The user's section of the same mode (or of none) nearest above or below.
    bool NeighbourInGroup(std::size_t nSection, bool bUp, std::size_t& nOther) const;
    // The action (empty when none) with the menu it opens renamed, when it
    // opens strOld (a plain Menu opens Main).
    std::string WithMenuRenamed(const std::string& strAction, const std::string& strOld,
                                const std::string& strNew) const;
    // What opens the menu, the user's file first: its keys, "Key 6: Bottom
    // right (VEKO), long press, in "All applications"" (three named, the
    // others counted), else the first menu's entry, "the entry "Tools" of
    // the menu "Main""; empty when nothing in either file opens it.
    std::string MenuOpener(const std::string& strMenu) const;
    // Whether a key of either file switches the mode on.
    bool IsModeSwitched(const std::string& strMode) const;
    // The document and section of the selected entry, null for the
    // catch-all before it exists and for no entry.
    const CKeyMapDocument* SelectedDocument(std::size_t& nSection) const;
    std::string FromFile(const CKeyMapDocument& doc, const std::string& strText) const;
    // The names a line of the sections gives (Mode, Menu), once each in any
    // case: the user's first.
    std::vector<std::string> NamesOf(std::string (CKeyMapDocument::*pLine)(std::size_t)
                                         const) const;
    // The text in the document's encoding; an ANSI document that cannot hold
    // it becomes UTF-8 first.
    std::string ToFile(CKeyMapDocument& doc, const std::string& strText) const;

    Convert m_ansiToUtf8;
    ConvertExact m_utf8ToAnsi;
    std::string m_strUserFile;
    CKeyMapDocument m_user;
    // The user's file as last read or written, to notice another writer.
    std::string m_strUserBytes;
    CKeyMapDocument m_installed;
    bool m_bCanSave = true;
    std::string m_strLoadNote;
    // The user's file was saved in this run (the status says so until the next change).
    bool m_bSaved = false;
    std::string m_strImportedFrom;
    CPublishedState m_resident;
    std::vector<Entry> m_apps;
    int m_nApp = -1;
    int m_nRcType = 0;
    int m_nKey = 1;
};
