// The key-map editor's window: the applications in the order KV480 asks
// them, the remote's picture with the keys the selected application sets,
// and the selected key's press, long-press and double-press actions. Edits
// go to the user's KeyMap.ini only; the installation folder's sections are
// shown read-only. What is shown and changed lives in CKeysEditorModel; the
// window binds its controls to it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "CActionForm.h"
#include "CDialog.h"
#include "CKeyMapDocument.h"
#include "CKeysEditorModel.h"
#include "CKeystrokeCapture.h"
#include "CRemotePicture.h"

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
    const framework::MessageMap* GetMessageMap() const override;

private:
    LRESULT OnDrawItem(WPARAM wParam, LPARAM lParam);
    LRESULT OnKeystrokeCaptured(WPARAM wParam, LPARAM lParam);
    LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnRemoteKey(WPARAM wParam, LPARAM lParam);
    LRESULT OnFormCommand(WPARAM wParam, LPARAM lParam);
    void OnApplicationChosen();
    void OnRcTypeChosen();
    void OnKeyChosen();
    void OnRemoteClicked();
    void OnMoveUp() { OnMove(true); }
    void OnMoveDown() { OnMove(false); }
    void OnAddApplication();
    void OnRemoveApplication();
    void OnAddMode() { AskName(false, false); }
    void OnAddMenu() { AskName(true, false); }
    // The selected mode's or menu's.
    void OnRename() { AskName(m_model.IsMenuSelected(), true); }
    // Asks for a mode's or a menu's name until the model takes it or the
    // user cancels.
    void AskName(bool bMenu, bool bRename);
    // The selected menu's entries.
    void OnMenuItemChosen() { UpdateMenuButtons(); }
    void OnAddMenuItem() { EditMenuItem(true); }
    void OnChangeMenuItem() { EditMenuItem(false); }
    void OnRemoveMenuItem();
    void OnMenuItemUp() { MoveMenuItem(true); }
    void OnMenuItemDown() { MoveMenuItem(false); }
    void OnScanChanged();
    // Opens the selected entry, or a new one, in the entry's window.
    void EditMenuItem(bool bNew);
    void MoveMenuItem(bool bUp);
    // The selected entry of the list; -1 for none.
    int SelectedMenuItem() const;
    void OnWhichRule();
    void OnSave() { Save(); }
    void OnShowActions();
    void OnImport();
    void OnExport();
    // The running KV480, asked again every RESIDENT_POLL_MS: it may start or
    // end, or switch a mode, while the window is open.
    LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
    void ShowResident();
    // Ends the KV480 that runs as administrator and starts it at the user's level.
    void OnRestartResident();
    static constexpr UINT_PTR RESIDENT_TIMER_ID = 1;
    // A line of the applications list wider than the list ("Default
    // (administrator, for everyone)") shows in full in a tooltip.
    void AddListTip();
    LRESULT OnNotify(WPARAM wParam, LPARAM lParam);
    // The list's mouse moves: a tooltip for another line is asked again.
    static LRESULT CALLBACK ListTipProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR nId, DWORD_PTR pThis);
    // The line under the pointer; -1 for none.
    int ListItemAtPointer() const;
    static constexpr UINT RESIDENT_POLL_MS = 2000;

    void LoadFiles();
    // Fills the applications list from the model, then shows the selection.
    void ShowApplications();
    void ShowSelectedApplication();
    // Shows the remote type: its picture, its keys and the selected one.
    void ShowRcType();
    void ShowKey();
    // The Key list's texts and selection, as the model has them now.
    void UpdateKeyList();
    void SelectKey(int nKey);
    // The key's forms, or the selected menu's entries.
    void FillForms();
    // The menu's controls in the key's place, or the key's back.
    void ShowPanel(bool bMenu);
    // Lists the menu's entries, selecting nSelect (the last when past it).
    void FillMenu(int nSelect);
    void UpdateMenuButtons();
    // The focus, on a control just disabled or hidden, moves to one in use.
    void KeepFocus();
    // Writes the form's action from its controls; bChosenFromList: the
    // value is the list's selected entry.
    void OnFormChanged(int nForm, bool bChosenFromList);
    void OnMove(bool bUp);
    bool Save();
    void UpdateStatus(const std::string& strNote = std::string());
    void UpdateButtons();
    void LoadPicture();
    // Keeps the window inside the work area of its monitor.
    void FitToWorkArea();
    // The programs the Program fields offer: those the key maps start and
    // those of the open windows.
    void OfferPrograms();
    // A file name from the common dialog; empty when cancelled.
    std::string AskFileName(bool bSave);

    HWND Item(int nId) const { return GetDlgItem(m_hWnd, nId); }

    HICON m_hIcon;
    std::string m_strUserFile;
    std::string m_strInstalledFile;
    CKeysEditorModel m_model;
    // Press, long press, double press: in the order of CKeyMapDocument::Form.
    CActionForm m_forms[CKeyMapDocument::FORM_COUNT];
    CRemotePicture m_picture;
    // What the Program fields offer, for the menu entry's window too.
    std::vector<std::string> m_programs;
    CKeystrokeCapture m_capture;
    int m_nCaptureForm = -1;
    HWND m_hListTip = nullptr;
    int m_nTipItem = -1;
    std::wstring m_strTip;
    std::string m_strTipAnsi;
    bool m_bFilling = false;
};
