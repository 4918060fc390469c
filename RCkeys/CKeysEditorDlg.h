// The key-map editor's window: the applications in the order KV480 asks
// them, the remote's picture with the keys the selected application sets,
// and the selected key's press, long-press and double-press actions. Edits
// go to the user's KeyMap.ini only; the installation folder's sections are
// shown read-only.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ActionText.h"
#include "CBitmap.h"
#include "CDialog.h"
#include "CKeyMapDocument.h"
#include "CKeystrokeCapture.h"

class CKeysEditorDlg : public CDialog {
public:
    CKeysEditorDlg();
    ~CKeysEditorDlg() override;

    // The key map is read from these files (UTF-8 paths; empty: none).
    void SetFiles(const std::string& strUserFile, const std::string& strInstalledFile);

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnOK() override;
    LRESULT WindowProc(UINT nMessage, WPARAM wParam, LPARAM lParam) override;
    const framework::MessageMap* GetMessageMap() const override;

private:
    // One line of the applications list.
    struct AppEntry {
        bool bInstalled;       // the installation folder's section, read-only
        bool bMissingCatchAll; // "All applications" before the user set any key
        std::size_t nSection;
    };

    LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnDrawItem(WPARAM wParam, LPARAM lParam);
    LRESULT OnKeystrokeCaptured(WPARAM wParam, LPARAM lParam);
    LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnRemoteKey(WPARAM wParam, LPARAM lParam);

    void LoadFiles();
    void FillApplications(std::size_t nSelectSection, bool bSelectInstalled);
    void SelectApplication(int nItem);
    void SelectKey(int nKey);
    void SelectRcType(int nRcType);
    void FillKeyList();
    void FillForms();
    void ShowFormKind(int nForm, ActionKind kind);
    // Writes the form's action from its controls; bChosenFromList: the
    // value is the list's selected entry.
    void OnFormChanged(int nForm, bool bChosenFromList = false);
    void OnBrowse(int nForm);
    void OnMove(bool bUp);
    void OnAddApplication();
    void OnRemoveApplication();
    void OnRemoteClicked();
    void OnWhichRule();
    bool Save();
    void UpdateStatus(const std::string& strProblem = std::string());
    void UpdateButtons();
    void LoadPicture();

    // The selected entry, null when none.
    const AppEntry* Selected() const;
    // The document and section of the selected entry; creates the user's
    // catch-all section when it is to be written and is missing.
    CKeyMapDocument* SelectedDocument(std::size_t& nSection, bool bForWriting);

    // Text of the file in UTF-8, and back.
    std::string FromFile(const CKeyMapDocument& doc, const std::string& strText) const;
    // The text in the document's encoding; an ANSI document that cannot hold
    // it becomes UTF-8 first.
    std::string ToFile(CKeyMapDocument& doc, const std::string& strText) const;

    HWND Item(int nId) const { return GetDlgItem(m_hWnd, nId); }
    static int FormId(int nForm, int nOffset) { return 1010 + 10 * nForm + nOffset; }

    HICON m_hIcon;
    UINT m_nRemoteMessage;
    std::string m_strUserFile;
    std::string m_strInstalledFile;
    CKeyMapDocument m_user;
    // The user's file as last read or written, to notice another writer.
    std::string m_strUserBytes;
    CKeyMapDocument m_installed;
    bool m_bCanSave = true;
    std::string m_strLoadNote;
    std::vector<AppEntry> m_apps;
    int m_nApp = -1;
    int m_nRcType = 0;
    // The user's file was saved in this run (the status says so until the next change).
    bool m_bSaved = false;
    int m_nKey = 1;
    CBitmap m_bmpRemote;
    int m_nPictureHalves = 0;
    CKeystrokeCapture m_capture;
    int m_nCaptureForm = -1;
    bool m_bFilling = false;
};
