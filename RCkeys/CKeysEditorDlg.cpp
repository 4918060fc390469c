#include "CKeysEditorDlg.h"

#include "CAddApplicationDlg.h"
#include "CDC.h"
#include "CKeyChord.h"
#include "CKeyMapStore.h"
#include "CMenuEntryDlg.h"
#include "CNameDlg.h"
#include "CReg.h"
#include "CResidentLauncher.h"
#include "CRunningState.h"
#include "CWhichRuleDlg.h"
#include "CWinApp.h"
#include "EditorMessages.h"
#include "MessageBox.h"
#include "RemoteControl.h"
#include "RemoteKeyText.h"
#include "Settings.h"
#include "WideText.h"
#include "WindowDpi.h"
#include "WindowFacts.h"
#include "resource.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <iterator>

namespace {

const CRemotePicture::Pen SET_PEN{RGB(0, 160, 0), 2};
const CRemotePicture::Pen SELECTED_PEN{RGB(250, 0, 0), 3};
// A key with an action KV480 cannot carry out.
const CRemotePicture::Pen PROBLEM_PEN{RGB(255, 140, 0), 2};
// Offered in the Program fields' lists; more help nobody.
const std::size_t MAX_PROGRAMS = 40;
// KV480 ends within a second; starting, it waits for its port.
const DWORD RESIDENT_END_TIMEOUT_MS = 5000;
const DWORD RESIDENT_START_TIMEOUT_MS = 5000;

std::string ChordText(WPARAM nVirtualKey, LPARAM nModifiers) {
    const std::string strKey = CKeyChord::KeyName(static_cast<std::uint16_t>(nVirtualKey));
    if (strKey.empty()) {
        return std::string();
    }
    std::string strText;
    if (nModifiers & CKeystrokeCapture::HELD_CTRL) {
        strText += "Ctrl+";
    }
    if (nModifiers & CKeystrokeCapture::HELD_SHIFT) {
        strText += "Shift+";
    }
    if (nModifiers & CKeystrokeCapture::HELD_ALT) {
        strText += "Alt+";
    }
    if (nModifiers & CKeystrokeCapture::HELD_WIN) {
        strText += "Win+";
    }
    return strText + strKey;
}

CKeysEditorModel::FileState StateOf(CKeyMapStore::ReadResult result) {
    switch (result) {
    case CKeyMapStore::ReadResult::Ok:
        return CKeysEditorModel::FileState::Ok;
    case CKeyMapStore::ReadResult::Missing:
        return CKeysEditorModel::FileState::Missing;
    case CKeyMapStore::ReadResult::Folder:
        return CKeysEditorModel::FileState::Folder;
    case CKeyMapStore::ReadResult::Unreadable:
        break;
    }
    return CKeysEditorModel::FileState::Unreadable;
}

} // namespace

CKeysEditorDlg::CKeysEditorDlg()
    : CDialog(IDD_KEYS_EDITOR),
      m_hIcon(LoadIconA(framework::AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      m_model(widetext::AnsiToUtf8, widetext::Utf8ToAnsiExact),
      m_forms{CActionForm({IDC_PRESS_KIND, IDC_PRESS_VALUE, IDC_PRESS_REPEAT, IDC_PRESS_BROWSE,
                           IDC_PRESS_LABEL, IDC_PRESS_INHERITED, IDC_PRESS_INHERITED_LABEL}),
              CActionForm({IDC_LONG_KIND, IDC_LONG_VALUE, IDC_LONG_REPEAT, IDC_LONG_BROWSE,
                           IDC_LONG_LABEL, IDC_LONG_INHERITED, IDC_LONG_INHERITED_LABEL}),
              CActionForm({IDC_DOUBLE_KIND, IDC_DOUBLE_VALUE, IDC_DOUBLE_REPEAT, IDC_DOUBLE_BROWSE,
                           IDC_DOUBLE_LABEL, IDC_DOUBLE_INHERITED, IDC_DOUBLE_INHERITED_LABEL})} {}

CKeysEditorDlg::~CKeysEditorDlg() = default;

void CKeysEditorDlg::SetFiles(const std::string& strUserFile, const std::string& strInstalledFile) {
    m_strUserFile = strUserFile;
    m_strInstalledFile = strInstalledFile;
}

const framework::MessageMap* CKeysEditorDlg::GetMessageMap() const {
    using framework::ControlNotifications;
    using framework::Handler;
    using C = CKeysEditorDlg;
    static const framework::MessageMapEntry entries[] = {
        {WM_DRAWITEM, 0, Handler<&C::OnDrawItem>},
        {WM_KEYSTROKE_CAPTURED, 0, Handler<&C::OnKeystrokeCaptured>},
        {WM_DPICHANGED, 0, Handler<&C::OnDpiChanged>},
        {0, 0, Handler<&C::OnRemoteKey>, framework::RegisteredMessage(RC_MESSAGE_NAME)},
        {WM_COMMAND, MAKEWPARAM(IDC_APPS, LBN_SELCHANGE), Handler<&C::OnApplicationChosen>},
        {WM_COMMAND, MAKEWPARAM(IDC_RC_TYPE, CBN_SELCHANGE), Handler<&C::OnRcTypeChosen>},
        {WM_COMMAND, MAKEWPARAM(IDC_KEY, CBN_SELCHANGE), Handler<&C::OnKeyChosen>},
        {WM_COMMAND, MAKEWPARAM(IDC_REMOTE, STN_CLICKED), Handler<&C::OnRemoteClicked>},
        {WM_COMMAND, MAKEWPARAM(IDC_REMOTE, STN_DBLCLK), Handler<&C::OnRemoteClicked>},
        {WM_COMMAND, IDC_MOVE_UP, Handler<&C::OnMoveUp>},
        {WM_COMMAND, IDC_MOVE_DOWN, Handler<&C::OnMoveDown>},
        {WM_COMMAND, IDC_ADD_APP, Handler<&C::OnAddApplication>},
        {WM_COMMAND, IDC_REMOVE_APP, Handler<&C::OnRemoveApplication>},
        {WM_COMMAND, IDC_ADD_MODE, Handler<&C::OnAddMode>},
        {WM_COMMAND, IDC_ADD_MENU, Handler<&C::OnAddMenu>},
        {WM_COMMAND, IDC_RENAME_MODE, Handler<&C::OnRename>},
        {WM_COMMAND, MAKEWPARAM(IDC_MENU_ITEMS, LBN_SELCHANGE), Handler<&C::OnMenuItemChosen>},
        {WM_COMMAND, MAKEWPARAM(IDC_MENU_ITEMS, LBN_DBLCLK), Handler<&C::OnChangeMenuItem>},
        {WM_COMMAND, IDC_ITEM_ADD, Handler<&C::OnAddMenuItem>},
        {WM_COMMAND, IDC_ITEM_CHANGE, Handler<&C::OnChangeMenuItem>},
        {WM_COMMAND, IDC_ITEM_REMOVE, Handler<&C::OnRemoveMenuItem>},
        {WM_COMMAND, IDC_ITEM_UP, Handler<&C::OnMenuItemUp>},
        {WM_COMMAND, IDC_ITEM_DOWN, Handler<&C::OnMenuItemDown>},
        {WM_COMMAND, MAKEWPARAM(IDC_SCAN, EN_CHANGE), Handler<&C::OnScanChanged>},
        {WM_COMMAND, IDC_WHICH, Handler<&C::OnWhichRule>},
        {WM_COMMAND, IDC_SAVE, Handler<&C::OnSave>},
        {WM_COMMAND, IDC_SHOW_ACTIONS, Handler<&C::OnShowActions>},
        {WM_COMMAND, IDC_IMPORT, Handler<&C::OnImport>},
        {WM_COMMAND, IDC_EXPORT, Handler<&C::OnExport>},
        {WM_COMMAND, IDC_RESTART_RESIDENT, Handler<&C::OnRestartResident>},
        {WM_TIMER, 0, Handler<&C::OnTimer>},
        {WM_NOTIFY, 0, Handler<&C::OnNotify>},
        ControlNotifications(IDC_PRESS_KIND, Handler<&C::OnFormCommand>),
        ControlNotifications(IDC_PRESS_VALUE, Handler<&C::OnFormCommand>),
        ControlNotifications(IDC_PRESS_REPEAT, Handler<&C::OnFormCommand>),
        ControlNotifications(IDC_PRESS_BROWSE, Handler<&C::OnFormCommand>),
        ControlNotifications(IDC_LONG_KIND, Handler<&C::OnFormCommand>),
        ControlNotifications(IDC_LONG_VALUE, Handler<&C::OnFormCommand>),
        ControlNotifications(IDC_LONG_REPEAT, Handler<&C::OnFormCommand>),
        ControlNotifications(IDC_LONG_BROWSE, Handler<&C::OnFormCommand>),
        ControlNotifications(IDC_DOUBLE_KIND, Handler<&C::OnFormCommand>),
        ControlNotifications(IDC_DOUBLE_VALUE, Handler<&C::OnFormCommand>),
        ControlNotifications(IDC_DOUBLE_REPEAT, Handler<&C::OnFormCommand>),
        ControlNotifications(IDC_DOUBLE_BROWSE, Handler<&C::OnFormCommand>),
    };
    static const framework::MessageMap map{CDialog::GetMessageMap(), entries, std::size(entries)};
    return &map;
}

BOOL CKeysEditorDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    DWORD dwType = 0;
    const bool bZelmar = CReg().ReadDword(HKEY_LOCAL_MACHINE, settings::SETTINGS_KEY,
                                          settings::VALUE_RC_TYPE, &dwType) == CReg::RESULT_OK &&
                         dwType == settings::RC_TYPE_ZELMAR_OVI;
    SendDlgItemMessageA(m_hWnd, IDC_RC_TYPE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("VEKO"));
    SendDlgItemMessageA(m_hWnd, IDC_RC_TYPE, CB_ADDSTRING, 0,
                        reinterpret_cast<LPARAM>("ZELMAR_OVI"));
    for (CActionForm& form : m_forms) {
        form.Attach(m_hWnd);
    }
    DWORD dwShow = 0;
    CheckDlgButton(m_hWnd, IDC_SHOW_ACTIONS,
                   CReg().ReadDword(HKEY_CURRENT_USER, settings::USER_KEY,
                                    settings::VALUE_SHOW_ACTIONS, &dwShow) == CReg::RESULT_OK &&
                           dwShow == 1
                       ? BST_CHECKED
                       : BST_UNCHECKED);
    FitToWorkArea();
    AddListTip();
    m_model.SetResident(CRunningState::Read());
    SetTimer(m_hWnd, RESIDENT_TIMER_ID, RESIDENT_POLL_MS, nullptr);
    LoadFiles();
    OfferPrograms();
    ShowApplications();
    m_model.SelectRcType(bZelmar ? settings::RC_TYPE_ZELMAR_OVI : settings::RC_TYPE_VEKO);
    ShowRcType();
    ShowResident();
    return TRUE;
}

void CKeysEditorDlg::LoadFiles() {
    std::string strUser;
    const CKeyMapStore::ReadResult result =
        CKeyMapStore::Read(m_strUserFile, CKeyMapDocument::MAX_FILE_BYTES, strUser);
    std::string strInstalled;
    CKeyMapStore::Read(m_strInstalledFile, CKeyMapDocument::MAX_FILE_BYTES, strInstalled);
    m_model.Load(m_strUserFile, StateOf(result), strUser, strInstalled);
}

void CKeysEditorDlg::ShowApplications() {
    // The Mode and Menu fields offer the modes and menus the key maps have now.
    for (CActionForm& form : m_forms) {
        form.SetModes(m_model.ModeChoices());
        form.SetMenus(m_model.MenuNames());
    }
    m_bFilling = true;
    const HWND hList = Item(IDC_APPS);
    SendMessageW(hList, LB_RESETCONTENT, 0, 0);
    // Long names scroll sideways rather than lose their end.
    const HDC hDC = GetDC(hList);
    const HGDIOBJ hOld =
        SelectObject(hDC, reinterpret_cast<HGDIOBJ>(SendMessageW(hList, WM_GETFONT, 0, 0)));
    LONG nWidest = 0;
    for (const CKeysEditorModel::Entry& entry : m_model.GetApplications()) {
        const std::wstring strText = widetext::Widen(entry.strText);
        SendMessageW(hList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(strText.c_str()));
        SIZE size = {0, 0};
        GetTextExtentPoint32W(hDC, strText.c_str(), static_cast<int>(strText.size()), &size);
        nWidest = (std::max)(nWidest, size.cx);
    }
    SelectObject(hDC, hOld);
    ReleaseDC(hList, hDC);
    SendMessageW(hList, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(nWidest + 8), 0);
    m_bFilling = false;
    ShowSelectedApplication();
}

void CKeysEditorDlg::ShowSelectedApplication() {
    SendDlgItemMessageA(m_hWnd, IDC_APPS, LB_SETCURSEL, static_cast<WPARAM>(m_model.GetSelected()),
                        0);
    ShowPanel(m_model.IsMenuSelected());
    FillForms();
    UpdateButtons();
    InvalidateRect(Item(IDC_REMOTE), nullptr, FALSE);
}

void CKeysEditorDlg::OnApplicationChosen() {
    if (m_bFilling) {
        return;
    }
    m_model.SelectApplication(
        static_cast<int>(SendDlgItemMessageA(m_hWnd, IDC_APPS, LB_GETCURSEL, 0, 0)));
    ShowSelectedApplication();
}

void CKeysEditorDlg::OnRcTypeChosen() {
    m_model.SelectRcType(
        static_cast<int>(SendDlgItemMessageA(m_hWnd, IDC_RC_TYPE, CB_GETCURSEL, 0, 0)));
    ShowRcType();
}

void CKeysEditorDlg::OnKeyChosen() {
    SelectKey(m_model.GetFirstKey() +
              static_cast<int>(SendDlgItemMessageA(m_hWnd, IDC_KEY, CB_GETCURSEL, 0, 0)));
}

void CKeysEditorDlg::ShowRcType() {
    SendDlgItemMessageA(m_hWnd, IDC_RC_TYPE, CB_SETCURSEL, static_cast<WPARAM>(m_model.GetRcType()),
                        0);
    LoadPicture();
    SendDlgItemMessageW(m_hWnd, IDC_KEY, CB_RESETCONTENT, 0, 0);
    ShowKey();
}

void CKeysEditorDlg::UpdateKeyList() {
    // The rings on the picture in words: which forms the application sets.
    const HWND hCombo = Item(IDC_KEY);
    for (int nKey = m_model.GetFirstKey(); nKey <= m_model.GetLastKey(); ++nKey) {
        const std::wstring strText = widetext::Widen(
            remote_key_text::KeyListText(nKey, m_model.IsFormSet(nKey, CKeyMapDocument::FORM_PLAIN),
                                         m_model.IsFormSet(nKey, CKeyMapDocument::FORM_LONG),
                                         m_model.IsFormSet(nKey, CKeyMapDocument::FORM_DOUBLE)));
        const auto nIndex = static_cast<WPARAM>(nKey - m_model.GetFirstKey());
        const LRESULT nLength = SendMessageW(hCombo, CB_GETLBTEXTLEN, nIndex, 0);
        if (nLength != CB_ERR) {
            std::wstring strShown(static_cast<std::size_t>(nLength) + 1, L'\0');
            SendMessageW(hCombo, CB_GETLBTEXT, nIndex, reinterpret_cast<LPARAM>(&strShown[0]));
            strShown.resize(static_cast<std::size_t>(nLength));
            if (strShown == strText) {
                continue;
            }
            SendMessageW(hCombo, CB_DELETESTRING, nIndex, 0);
        }
        SendMessageW(hCombo, CB_INSERTSTRING, nIndex, reinterpret_cast<LPARAM>(strText.c_str()));
    }
    const auto nSelected = static_cast<WPARAM>(m_model.GetKey() - m_model.GetFirstKey());
    if (SendMessageW(hCombo, CB_GETCURSEL, 0, 0) != static_cast<LRESULT>(nSelected)) {
        SendMessageW(hCombo, CB_SETCURSEL, nSelected, 0);
    }
}

void CKeysEditorDlg::ShowKey() {
    FillForms();
    InvalidateRect(Item(IDC_REMOTE), nullptr, FALSE);
}

void CKeysEditorDlg::SelectKey(int nKey) {
    const int nRcType = m_model.GetRcType();
    if (!m_model.SelectKey(nKey)) {
        return;
    }
    if (m_model.GetRcType() != nRcType) {
        ShowRcType();
    } else {
        ShowKey();
    }
}

void CKeysEditorDlg::FillForms() {
    if (m_model.IsMenuSelected()) {
        FillMenu(SelectedMenuItem());
        UpdateStatus();
        return;
    }
    m_bFilling = true;
    UpdateKeyList();
    for (int nForm = 0; nForm < CKeyMapDocument::FORM_COUNT; ++nForm) {
        const auto form = static_cast<CKeyMapDocument::Form>(nForm);
        const CKeysEditorModel::Inherited inherited = m_model.GetInherited(form);
        m_forms[nForm].Show(SplitAction(m_model.GetAction(form)), m_model.IsSelectedWritable(),
                            inherited.strAction.empty()
                                ? std::string()
                                : inherited.strAction + "  (from \"" + inherited.strFrom + "\")",
                            !m_model.GetProblem(form).empty());
    }
    m_bFilling = false;
    UpdateStatus();
}

void CKeysEditorDlg::ShowPanel(bool bMenu) {
    static const int keyIds[] = {IDC_KEY_LABEL,   IDC_KEY,        IDC_KEY_GROUP,
                                 IDC_PRESS_TITLE, IDC_LONG_TITLE, IDC_DOUBLE_TITLE,
                                 IDC_PRESS_KIND,  IDC_LONG_KIND,  IDC_DOUBLE_KIND};
    // Shown by the forms themselves as the action's kind needs them.
    static const int formIds[] = {
        IDC_PRESS_VALUE,  IDC_PRESS_REPEAT,     IDC_PRESS_BROWSE,
        IDC_PRESS_LABEL,  IDC_PRESS_INHERITED,  IDC_PRESS_INHERITED_LABEL,
        IDC_LONG_VALUE,   IDC_LONG_REPEAT,      IDC_LONG_BROWSE,
        IDC_LONG_LABEL,   IDC_LONG_INHERITED,   IDC_LONG_INHERITED_LABEL,
        IDC_DOUBLE_VALUE, IDC_DOUBLE_REPEAT,    IDC_DOUBLE_BROWSE,
        IDC_DOUBLE_LABEL, IDC_DOUBLE_INHERITED, IDC_DOUBLE_INHERITED_LABEL};
    static const int menuIds[] = {IDC_MENU_ITEMS_LABEL, IDC_MENU_ITEMS,  IDC_ITEM_ADD,
                                  IDC_ITEM_CHANGE,      IDC_ITEM_REMOVE, IDC_ITEM_UP,
                                  IDC_ITEM_DOWN,        IDC_SCAN_LABEL,  IDC_SCAN};
    for (int nId : keyIds) {
        ShowWindow(Item(nId), bMenu ? SW_HIDE : SW_SHOWNA);
    }
    if (bMenu) {
        m_capture.Stop();
        m_nCaptureForm = -1;
        for (int nId : formIds) {
            ShowWindow(Item(nId), SW_HIDE);
        }
    }
    for (int nId : menuIds) {
        ShowWindow(Item(nId), bMenu ? SW_SHOWNA : SW_HIDE);
    }
    KeepFocus();
}

void CKeysEditorDlg::FillMenu(int nSelect) {
    m_bFilling = true;
    const HWND hList = Item(IDC_MENU_ITEMS);
    SendMessageW(hList, LB_RESETCONTENT, 0, 0);
    const std::vector<std::string> items = m_model.GetMenuItems();
    // A long program path scrolls sideways rather than lose its end.
    const HDC hDC = GetDC(hList);
    const HGDIOBJ hOld =
        SelectObject(hDC, reinterpret_cast<HGDIOBJ>(SendMessageW(hList, WM_GETFONT, 0, 0)));
    LONG nWidest = 0;
    for (const std::string& strItem : items) {
        std::string strLabel;
        std::string strAction;
        // An entry without its label (KV480 skips it) shows as written.
        const std::wstring strText = widetext::Widen(SplitMenuItem(strItem, strLabel, strAction)
                                                         ? strLabel + " \xE2\x80\x94 " + strAction
                                                         : strItem);
        SendMessageW(hList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(strText.c_str()));
        SIZE size = {0, 0};
        GetTextExtentPoint32W(hDC, strText.c_str(), static_cast<int>(strText.size()), &size);
        nWidest = (std::max)(nWidest, size.cx);
    }
    SelectObject(hDC, hOld);
    ReleaseDC(hList, hDC);
    SendMessageW(hList, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(nWidest + 8), 0);
    if (!items.empty()) {
        const int nLast = static_cast<int>(items.size()) - 1;
        SendMessageW(hList, LB_SETCURSEL,
                     static_cast<WPARAM>(nSelect < 0 ? 0 : (std::min)(nSelect, nLast)), 0);
    }
    const HWND hScan = Item(IDC_SCAN);
    window_facts::SetText(hScan, m_model.GetScan());
    // Read-only rather than disabled: the installation's step can be read.
    SendMessageW(hScan, EM_SETREADONLY, m_model.IsSelectedWritable() ? FALSE : TRUE, 0);
    m_bFilling = false;
    UpdateMenuButtons();
}

int CKeysEditorDlg::SelectedMenuItem() const {
    return static_cast<int>(SendDlgItemMessageW(m_hWnd, IDC_MENU_ITEMS, LB_GETCURSEL, 0, 0));
}

void CKeysEditorDlg::UpdateMenuButtons() {
    const bool bWritable = m_model.IsSelectedWritable();
    const int nItem = SelectedMenuItem();
    const int nCount = static_cast<int>(m_model.GetMenuItems().size());
    EnableWindow(Item(IDC_ITEM_ADD), bWritable);
    EnableWindow(Item(IDC_ITEM_CHANGE), bWritable && nItem >= 0);
    EnableWindow(Item(IDC_ITEM_REMOVE), bWritable && nItem >= 0);
    EnableWindow(Item(IDC_ITEM_UP), bWritable && nItem > 0);
    EnableWindow(Item(IDC_ITEM_DOWN), bWritable && nItem >= 0 && nItem + 1 < nCount);
    KeepFocus();
}

void CKeysEditorDlg::KeepFocus() {
    const HWND hFocus = GetFocus();
    if (hFocus == nullptr || (IsWindowVisible(hFocus) && IsWindowEnabled(hFocus))) {
        return;
    }
    const HWND hItems = Item(IDC_MENU_ITEMS);
    const HWND hTo = IsWindowVisible(hItems) ? hItems : Item(IDC_APPS);
    SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hTo), TRUE);
}

void CKeysEditorDlg::EditMenuItem(bool bNew) {
    if (!m_model.IsSelectedWritable()) {
        return;
    }
    const std::vector<std::string> items = m_model.GetMenuItems();
    const int nSelected = SelectedMenuItem();
    if (!bNew && (nSelected < 0 || nSelected >= static_cast<int>(items.size()))) {
        return;
    }
    const std::size_t nItem = bNew ? items.size() : static_cast<std::size_t>(nSelected);
    std::string strLabel;
    std::string strAction;
    if (!bNew) {
        SplitMenuItem(items[nItem], strLabel, strAction);
    }
    CMenuEntryDlg dlg(this, {m_programs, m_model.ModeChoices(), m_model.MenuNames()}, strLabel,
                      strAction);
    if (dlg.DoModal() != IDOK) {
        return;
    }
    std::string strReason;
    if (!m_model.SetMenuItem(nItem, dlg.m_strLabel, dlg.m_strAction, strReason)) {
        const std::string strText = "The entry was not kept: " + strReason + ".";
        framework::ShowMessageBox(m_hWnd, strText.c_str(), EDITOR_TITLE,
                                  MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    FillMenu(static_cast<int>(nItem));
    UpdateStatus();
}

void CKeysEditorDlg::OnRemoveMenuItem() {
    const int nItem = SelectedMenuItem();
    if (nItem < 0 || !m_model.IsSelectedWritable()) {
        return;
    }
    m_model.RemoveMenuItem(static_cast<std::size_t>(nItem));
    FillMenu(nItem);
    UpdateStatus();
}

void CKeysEditorDlg::MoveMenuItem(bool bUp) {
    const int nItem = SelectedMenuItem();
    if (nItem >= 0 && m_model.MoveMenuItem(static_cast<std::size_t>(nItem), bUp)) {
        FillMenu(bUp ? nItem - 1 : nItem + 1);
        UpdateStatus();
    }
}

void CKeysEditorDlg::OnScanChanged() {
    if (m_bFilling || !m_model.IsSelectedWritable() || !m_model.IsMenuSelected()) {
        return;
    }
    m_model.SetScan(window_facts::GetText(Item(IDC_SCAN)));
    UpdateStatus();
}

LRESULT CKeysEditorDlg::OnFormCommand(WPARAM wParam, LPARAM) {
    const int nId = LOWORD(wParam);
    for (int nForm = 0; nForm < CKeyMapDocument::FORM_COUNT; ++nForm) {
        CActionForm& form = m_forms[nForm];
        if (!form.Owns(nId)) {
            continue;
        }
        switch (form.OnCommand(nId, HIWORD(wParam))) {
        case CActionForm::Event::Changed:
            OnFormChanged(nForm, false);
            break;
        case CActionForm::Event::ChosenFromList:
            OnFormChanged(nForm, true);
            break;
        case CActionForm::Event::ValueFocused:
            if (form.IsKeystroke() && m_capture.Start(m_hWnd, WM_KEYSTROKE_CAPTURED)) {
                m_nCaptureForm = nForm;
                UpdateStatus();
            }
            break;
        case CActionForm::Event::ValueLeft:
            m_capture.Stop();
            m_nCaptureForm = -1;
            UpdateStatus();
            break;
        case CActionForm::Event::None:
            break;
        }
    }
    return 0;
}

void CKeysEditorDlg::OnFormChanged(int nForm, bool bChosenFromList) {
    if (m_bFilling || !m_model.IsSelectedWritable()) {
        return;
    }
    const ActionParts parts = m_forms[nForm].Read(bChosenFromList);
    const auto form = static_cast<CKeyMapDocument::Form>(nForm);
    const std::string strAction = JoinAction(parts);
    m_model.SetAction(form, strAction);
    UpdateKeyList();
    InvalidateRect(Item(IDC_REMOTE), nullptr, FALSE);
    if (!parts.bSet) {
        // Another entry may answer now: shown as for a key just selected.
        FillForms();
        return;
    }
    m_forms[nForm].MarkProblem(!m_model.GetProblem(form).empty());
    // A kind without its value yet is kept as nothing: the status says so
    // rather than let the field look saved.
    UpdateStatus(strAction.empty() && parts.kind != CKeyAction::Kind::Nothing
                     ? "Nothing is set for this key yet: fill in the field below the kind."
                     : std::string());
}

LRESULT CKeysEditorDlg::OnKeystrokeCaptured(WPARAM wParam, LPARAM lParam) {
    const int nForm = m_nCaptureForm;
    if (nForm < 0 || !m_capture.IsActive()) {
        return 0;
    }
    const std::string strChord = ChordText(wParam, lParam);
    if (strChord.empty()) {
        UpdateStatus("KV480 cannot press that key; choose one from the list.");
        return 0;
    }
    m_bFilling = true;
    m_forms[nForm].SetValue(strChord);
    m_bFilling = false;
    OnFormChanged(nForm, false);
    return 0;
}

void CKeysEditorDlg::OnRemoteClicked() {
    POINT pt;
    GetCursorPos(&pt);
    const HWND hRemote = Item(IDC_REMOTE);
    ScreenToClient(hRemote, &pt);
    RECT rc;
    GetClientRect(hRemote, &rc);
    const int nKey = m_picture.KeyAt(rc, pt);
    if (nKey != 0) {
        SelectKey(nKey);
    }
}

LRESULT CKeysEditorDlg::OnRemoteKey(WPARAM wParam, LPARAM lParam) {
    // Any program can post this number: only a key's first press selects it.
    if (!RC_IS_KEY_MESSAGE(wParam, lParam) || lParam != RC_NEW_PRESS) {
        return 0;
    }
    SelectKey(static_cast<int>(wParam));
    return 1;
}

void CKeysEditorDlg::OnMove(bool bUp) {
    if (m_model.MoveSelected(bUp)) {
        ShowApplications();
    }
}

void CKeysEditorDlg::OnAddApplication() {
    CAddApplicationDlg dlg(this);
    if (dlg.DoModal() != IDOK) {
        return;
    }
    m_model.AddApplication(dlg.m_strName, dlg.m_strProgram, dlg.m_strClass, dlg.m_strWindow,
                           dlg.m_pReadyMade);
    ShowApplications();
}

void CKeysEditorDlg::OnRemoveApplication() {
    if (!m_model.CanRemove()) {
        return;
    }
    const std::string strText =
        m_model.IsMenuSelected()
            ? "Remove the menu \"" + m_model.SelectedMenuName() + "\" and its entries?"
            : "Remove \"" + m_model.SelectedName() + "\" and every key set for it?";
    if (framework::ShowMessageBox(m_hWnd, strText.c_str(), EDITOR_TITLE,
                                  MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return;
    }
    m_model.RemoveSelected();
    ShowApplications();
}

void CKeysEditorDlg::AskName(bool bMenu, bool bRename) {
    const CNameDlg::Texts texts =
        bMenu ? CNameDlg::
                    Texts{bRename ? "Rename menu" : "Add menu",
                          "A menu shows its entries on the screen: the remote's "
                          "steering keys choose one and start it. A key whose action is On-screen "
                          "menu with this name opens it (a plain Menu opens \"Main\").",
                          "&Name of the menu:"}
              : CNameDlg::Texts{bRename ? "Rename mode" : "Add mode",
                                "A mode is another set of keys. While it is on, the keys set in "
                                "it come first; every other key keeps its usual meaning. A key "
                                "whose action is Mode with this name switches it on and off.",
                                "&Name of the mode:"};
    std::string strName;
    if (bRename && m_model.Selected() != nullptr) {
        strName = bMenu ? m_model.SelectedMenuName() : m_model.Selected()->strMode;
    }
    CNameDlg dlg(this, texts, strName);
    while (dlg.DoModal() == IDOK) {
        std::string strReason;
        const bool bDone = bMenu ? (bRename ? m_model.RenameMenu(dlg.m_strName, strReason)
                                            : m_model.AddMenu(dlg.m_strName, strReason))
                                 : (bRename ? m_model.RenameMode(dlg.m_strName, strReason)
                                            : m_model.AddMode(dlg.m_strName, strReason));
        if (bDone) {
            ShowApplications();
            return;
        }
        const std::string strText = "This name cannot be used: " + strReason + ".";
        framework::ShowMessageBox(m_hWnd, strText.c_str(), EDITOR_TITLE,
                                  MB_OK | MB_ICONEXCLAMATION);
    }
}

void CKeysEditorDlg::OnWhichRule() {
    // As KV480 answers now: the maps it reads, the mode that is on.
    m_model.SetResident(CRunningState::Read());
    ShowResident();
    const CWhichRuleAnswers answers(
        m_model.GetUser(), m_model.GetInstalled(),
        [](const std::string& strText) { return widetext::AnsiToUtf8(strText); },
        m_model.IsUserFileRead());
    CWhichRuleDlg dlg(this, answers, m_model.WhichRuleModes(), m_model.GetResident().GetMode(),
                      m_model.GetFirstKey(), m_model.GetLastKey());
    dlg.DoModal();
}

LRESULT CKeysEditorDlg::OnTimer(WPARAM wParam, LPARAM) {
    if (wParam != RESIDENT_TIMER_ID) {
        return Default();
    }
    const CPublishedState resident = CRunningState::Read();
    if (resident != m_model.GetResident()) {
        m_model.SetResident(resident);
        ShowResident();
        UpdateStatus();
    }
    return 0;
}

void CKeysEditorDlg::AddListTip() {
    m_hListTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                 WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                                 framework::AfxGetInstanceHandle(), nullptr);
    const HWND hList = Item(IDC_APPS);
    if (m_hListTip == nullptr) {
        return;
    }
    TTTOOLINFOW tool;
    ZeroMemory(&tool, sizeof(tool));
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(hList);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(m_hListTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SetWindowSubclass(hList, ListTipProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

int CKeysEditorDlg::ListItemAtPointer() const {
    const HWND hList = Item(IDC_APPS);
    POINT pt;
    GetCursorPos(&pt);
    ScreenToClient(hList, &pt);
    const LRESULT nFound =
        SendMessageW(hList, LB_ITEMFROMPOINT, 0, MAKELPARAM(pt.x & 0xFFFF, pt.y & 0xFFFF));
    const int nItem = LOWORD(nFound);
    return HIWORD(nFound) == 0 && nItem < static_cast<int>(m_model.GetApplications().size()) ? nItem
                                                                                             : -1;
}

LRESULT CALLBACK CKeysEditorDlg::ListTipProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam,
                                             UINT_PTR, DWORD_PTR pThis) {
    auto* pDlg = reinterpret_cast<CKeysEditorDlg*>(pThis);
    if (nMessage == WM_MOUSEMOVE) {
        const int nItem = pDlg->ListItemAtPointer();
        if (nItem != pDlg->m_nTipItem) {
            // Hidden now, it asks for the new line's text when it shows again.
            pDlg->m_nTipItem = nItem;
            SendMessageW(pDlg->m_hListTip, TTM_POP, 0, 0);
        }
    } else if (nMessage == WM_NCDESTROY) {
        RemoveWindowSubclass(hWnd, ListTipProc, 0);
    }
    return DefSubclassProc(hWnd, nMessage, wParam, lParam);
}

LRESULT CKeysEditorDlg::OnNotify(WPARAM, LPARAM lParam) {
    const auto* pHeader = reinterpret_cast<const NMHDR*>(lParam);
    // The tooltip asks in the dialog's character set, ANSI or wide.
    if (pHeader == nullptr || pHeader->hwndFrom != m_hListTip ||
        (pHeader->code != TTN_GETDISPINFOW && pHeader->code != TTN_GETDISPINFOA)) {
        return Default();
    }
    m_strTip.clear();
    m_strTipAnsi.clear();
    const int nItem = ListItemAtPointer();
    const HWND hList = Item(IDC_APPS);
    if (nItem >= 0) {
        const std::string& strEntry =
            m_model.GetApplications()[static_cast<std::size_t>(nItem)].strText;
        const std::wstring strText = widetext::Widen(strEntry);
        RECT rc = {0, 0, 0, 0};
        GetClientRect(hList, &rc);
        const HDC hDC = GetDC(hList);
        const HGDIOBJ hOld =
            SelectObject(hDC, reinterpret_cast<HGDIOBJ>(SendMessageW(hList, WM_GETFONT, 0, 0)));
        SIZE size = {0, 0};
        GetTextExtentPoint32W(hDC, strText.c_str(), static_cast<int>(strText.size()), &size);
        SelectObject(hDC, hOld);
        ReleaseDC(hList, hDC);
        // Only a line the list cuts off.
        if (size.cx > rc.right - rc.left) {
            m_strTip = strText;
            m_strTipAnsi = widetext::Utf8ToAnsi(strEntry);
        }
    }
    if (pHeader->code == TTN_GETDISPINFOW) {
        reinterpret_cast<NMTTDISPINFOW*>(lParam)->lpszText = &m_strTip[0];
    } else {
        reinterpret_cast<NMTTDISPINFOA*>(lParam)->lpszText = &m_strTipAnsi[0];
    }
    return 0;
}

void CKeysEditorDlg::ShowResident() {
    const CPublishedState& resident = m_model.GetResident();
    window_facts::SetAnnouncedText(Item(IDC_RESIDENT), resident.Banner(m_strUserFile));
    ShowWindow(Item(IDC_RESTART_RESIDENT), resident.OffersRestart() ? SW_SHOWNA : SW_HIDE);
}

void CKeysEditorDlg::OnRestartResident() {
    const CPublishedState resident = CRunningState::Read();
    std::string strFolder;
    if (!resident.OffersRestart() ||
        CReg().ReadString(HKEY_LOCAL_MACHINE, settings::SETTINGS_KEY, settings::VALUE_PATH,
                          strFolder) != CReg::RESULT_OK) {
        m_model.SetResident(resident);
        ShowResident();
        return;
    }
    // The tray program of that process only: the window message is the one
    // an elevated KV480 takes from the user's level, where WM_CLOSE and the
    // setup's exit event are refused.
    const HWND hResident =
        FindWindowA(CResidentLauncher::RESIDENT_CLASS, CResidentLauncher::RESIDENT_CAPTION);
    DWORD dwProcess = 0;
    if (hResident != nullptr) {
        GetWindowThreadProcessId(hResident, &dwProcess);
    }
    const HANDLE hProcess =
        dwProcess == resident.GetProcessId() ? OpenProcess(SYNCHRONIZE, FALSE, dwProcess) : nullptr;
    const UINT nEndMessage = RegisterWindowMessageA(CRunningState::END_MESSAGE_NAME);
    bool bEnded = false;
    if (hProcess != nullptr && nEndMessage != 0 && PostMessageA(hResident, nEndMessage, 0, 0)) {
        bEnded = WaitForSingleObject(hProcess, RESIDENT_END_TIMEOUT_MS) == WAIT_OBJECT_0;
    }
    if (hProcess != nullptr) {
        CloseHandle(hProcess);
    }
    // Started by this editor, which runs at the user's level (or, elevated,
    // through the desktop shell).
    if (!bEnded || !CResidentLauncher::Start(strFolder, std::string(), RESIDENT_START_TIMEOUT_MS)) {
        framework::ShowMessageBox(
            m_hWnd,
            bEnded ? "KV480 ended but could not be started again: start it from the Start menu."
                   : "KV480 did not end: close it from its tray icon, then start it from the "
                     "Start menu.",
            EDITOR_TITLE, MB_OK | MB_ICONEXCLAMATION);
    }
    m_model.SetResident(CRunningState::Read());
    ShowResident();
    UpdateStatus();
}

bool CKeysEditorDlg::Save() {
    if (!m_model.CanSave()) {
        framework::ShowMessageBox(m_hWnd, m_model.GetLoadNote().c_str(), EDITOR_TITLE,
                                  MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    // Another program (Notepad, a second editor of a roaming profile) may
    // have changed the file since it was read: saving would undo that.
    std::string strOnDisk;
    const CKeyMapStore::ReadResult result =
        CKeyMapStore::Read(m_strUserFile, CKeyMapDocument::MAX_FILE_BYTES, strOnDisk);
    if (m_model.ChangedOnDisk(StateOf(result), strOnDisk)) {
        const std::string strText = "Your key map " + m_strUserFile +
                                    " was changed by another program since it was opened.\n"
                                    "Replace it with what you see here?";
        if (framework::ShowMessageBox(m_hWnd, strText.c_str(), EDITOR_TITLE,
                                      MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES) {
            return false;
        }
    }
    const std::string strBytes = m_model.GetUserBytes();
    std::string strError;
    if (!CKeyMapStore::Write(m_strUserFile, strBytes, strError)) {
        framework::ShowMessageBox(m_hWnd, strError.c_str(), EDITOR_TITLE, MB_OK | MB_ICONERROR);
        return false;
    }
    m_model.Saved(strBytes);
    UpdateStatus();
    return true;
}

void CKeysEditorDlg::OnOK() {
    // Enter in a field must not close the window; Save is a button of its own.
}

void CKeysEditorDlg::OnCancel() {
    if (m_model.IsModified()) {
        const int nAnswer =
            framework::ShowMessageBox(m_hWnd, "Save the changes to your remote control keys?",
                                      EDITOR_TITLE, MB_YESNOCANCEL | MB_ICONQUESTION);
        if (nAnswer == IDCANCEL || (nAnswer == IDYES && !Save())) {
            return;
        }
    }
    m_capture.Stop();
    CDialog::OnCancel();
}

void CKeysEditorDlg::UpdateStatus(const std::string& strNote) {
    window_facts::SetAnnouncedText(Item(IDC_STATUS),
                                   m_model.StatusText(m_nCaptureForm >= 0, strNote));
}

void CKeysEditorDlg::UpdateButtons() {
    EnableWindow(Item(IDC_MOVE_UP), m_model.CanMove(true));
    EnableWindow(Item(IDC_MOVE_DOWN), m_model.CanMove(false));
    EnableWindow(Item(IDC_REMOVE_APP), m_model.CanRemove());
    EnableWindow(Item(IDC_ADD_APP), m_model.CanSave());
    EnableWindow(Item(IDC_ADD_MODE), m_model.CanSave());
    EnableWindow(Item(IDC_ADD_MENU), m_model.CanSave());
    EnableWindow(Item(IDC_RENAME_MODE), m_model.CanRenameMode() || m_model.CanRenameMenu());
    KeepFocus();
    EnableWindow(Item(IDC_SAVE), m_model.CanSave());
}

void CKeysEditorDlg::OnShowActions() {
    const DWORD dwShow = IsDlgButtonChecked(m_hWnd, IDC_SHOW_ACTIONS) == BST_CHECKED ? 1 : 0;
    // Each user's own, read by KV480 at every key; CReg tells of a failure.
    if (CReg().WriteDword(HKEY_CURRENT_USER, settings::USER_KEY, settings::VALUE_SHOW_ACTIONS,
                          dwShow) != CReg::RESULT_OK) {
        return;
    }
    // Kept apart from the key map: a user who sees "Saved" would look for it
    // in the file, or save for nothing.
    window_facts::SetAnnouncedText(Item(IDC_STATUS),
                                   std::string("The note is ") + (dwShow != 0 ? "on" : "off") +
                                       " from the next key, for you alone. It is kept "
                                       "apart from the key map: nothing to save.");
}

std::string CKeysEditorDlg::AskFileName(bool bSave) {
    // In the user's documents under a name of their own: the editor is
    // started in the installation folder, where "KeyMap.ini" is the one
    // that KV480 reads for everyone.
    return window_facts::AskFile(m_hWnd, bSave, L"Key maps (*.ini)\0*.ini\0All files\0*.*\0",
                                 L"ini", bSave ? "My remote keys.ini" : "",
                                 window_facts::DocumentsFolder());
}

void CKeysEditorDlg::OnExport() {
    const std::string strFile = AskFileName(true);
    if (strFile.empty()) {
        return;
    }
    // An export is a copy to keep or take along; over a key map that KV480
    // reads it would replace the installation's defaults, or the user's keys
    // without the backup an import makes.
    if (CKeyMapStore::IsSameFile(strFile, m_strUserFile) ||
        CKeyMapStore::IsSameFile(strFile, m_strInstalledFile)) {
        const std::string strText = strFile +
                                    " is a key map that KV480 reads: nothing was exported. "
                                    "Choose another file; Save keeps your changes.";
        framework::ShowMessageBox(m_hWnd, strText.c_str(), EDITOR_TITLE,
                                  MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    // What the window shows, saved or not.
    std::string strError;
    if (!CKeyMapStore::Write(strFile, m_model.GetUserBytes(), strError)) {
        framework::ShowMessageBox(m_hWnd, strError.c_str(), EDITOR_TITLE, MB_OK | MB_ICONERROR);
        return;
    }
    const std::string strText = "Your remote control keys are exported to " + strFile + ".";
    framework::ShowMessageBox(m_hWnd, strText.c_str(), EDITOR_TITLE, MB_OK | MB_ICONINFORMATION);
}

void CKeysEditorDlg::OnImport() {
    if (!m_model.CanSave()) {
        framework::ShowMessageBox(m_hWnd, m_model.GetLoadNote().c_str(), EDITOR_TITLE,
                                  MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    const std::string strFile = AskFileName(false);
    if (strFile.empty()) {
        return;
    }
    std::string strBytes;
    const CKeyMapStore::ReadResult result =
        CKeyMapStore::Read(strFile, CKeyMapDocument::MAX_FILE_BYTES, strBytes);
    std::string strProblem = result == CKeyMapStore::ReadResult::Ok
                                 ? CKeysEditorModel::ImportProblem(strBytes)
                                 : "it cannot be read";
    if (!strProblem.empty()) {
        const std::string strText = strFile + " was not imported: " + strProblem + ".";
        framework::ShowMessageBox(m_hWnd, strText.c_str(), EDITOR_TITLE,
                                  MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    const std::string strBackup = m_strUserFile + ".bak";
    const std::string strAsk =
        "Replace your remote control keys with those of " + strFile +
        "?\n\nYour key map as it is now on disk is kept as " + strBackup +
        (m_model.IsModified() ? "; the changes you have not saved are lost." : ".");
    if (framework::ShowMessageBox(m_hWnd, strAsk.c_str(), EDITOR_TITLE,
                                  MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
        return;
    }
    std::string strCurrent;
    std::string strError;
    const CKeyMapStore::ReadResult current =
        CKeyMapStore::Read(m_strUserFile, CKeyMapDocument::MAX_FILE_BYTES, strCurrent);
    // Nothing is replaced unless the backup is made first.
    if (current != CKeyMapStore::ReadResult::Missing &&
        (current != CKeyMapStore::ReadResult::Ok ||
         !CKeyMapStore::Write(strBackup, strCurrent, strError))) {
        const std::string strText = "Nothing was imported: your key map could not be kept as " +
                                    strBackup + (strError.empty() ? "." : ": " + strError);
        framework::ShowMessageBox(m_hWnd, strText.c_str(), EDITOR_TITLE, MB_OK | MB_ICONERROR);
        return;
    }
    if (!CKeyMapStore::Write(m_strUserFile, strBytes, strError)) {
        framework::ShowMessageBox(m_hWnd, strError.c_str(), EDITOR_TITLE, MB_OK | MB_ICONERROR);
        return;
    }
    LoadFiles();
    m_model.Saved(strBytes, strFile);
    OfferPrograms();
    ShowApplications();
}

void CKeysEditorDlg::OfferPrograms() {
    std::vector<std::string> programs = m_model.NamedPrograms();
    for (HWND hWnd : window_facts::OpenWindows()) {
        const std::string strPath = window_facts::FactsOf(hWnd).strProgramPath;
        if (!strPath.empty() && programs.size() < MAX_PROGRAMS &&
            std::find(programs.begin(), programs.end(), strPath) == programs.end()) {
            programs.push_back(strPath);
        }
    }
    for (CActionForm& form : m_forms) {
        form.SetPrograms(programs);
    }
    m_programs = programs;
}

void CKeysEditorDlg::FitToWorkArea() {
    MONITORINFO monitor;
    ZeroMemory(&monitor, sizeof(monitor));
    monitor.cbSize = sizeof(monitor);
    RECT rc;
    if (!GetWindowRect(m_hWnd, &rc) ||
        !GetMonitorInfoW(MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor)) {
        return;
    }
    const RECT& work = monitor.rcWork;
    // The caption and the top left stay reachable when it cannot fit whole.
    const LONG nX = (std::max)(work.left, (std::min)(rc.left, work.right - (rc.right - rc.left)));
    const LONG nY = (std::max)(work.top, (std::min)(rc.top, work.bottom - (rc.bottom - rc.top)));
    if (nX != rc.left || nY != rc.top) {
        SetWindowPos(m_hWnd, nullptr, nX, nY, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void CKeysEditorDlg::LoadPicture() {
    m_picture.Load(m_model.GetRcType(), framework::GetWindowDpi(m_hWnd));
    InvalidateRect(Item(IDC_REMOTE), nullptr, FALSE);
}

LRESULT CKeysEditorDlg::OnDpiChanged(WPARAM, LPARAM) {
    // The dialog manager scales the window and its controls; the picture is
    // swapped for the one drawn at the new scale.
    const LRESULT lResult = Default();
    LoadPicture();
    return lResult;
}

LRESULT CKeysEditorDlg::OnDrawItem(WPARAM wParam, LPARAM lParam) {
    const auto* pItem = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (wParam != IDC_REMOTE || pItem == nullptr) {
        return FALSE;
    }
    CDC dc;
    dc.Attach(pItem->hDC);
    const RECT& rc = pItem->rcItem;
    m_picture.Draw(dc, rc);
    // A menu sets no key: no ring would mean anything there.
    for (int nKey = RC_KEY_FIRST; nKey <= RC_KEY_LAST && !m_model.IsMenuSelected(); ++nKey) {
        const bool bSet = m_model.IsKeySet(nKey);
        const bool bSelected = nKey == m_model.GetKey();
        const CRemotePicture::Pen& setPen = m_model.HasProblem(nKey) ? PROBLEM_PEN : SET_PEN;
        if (bSet || bSelected) {
            m_picture.DrawMark(dc, rc, nKey, bSelected ? SELECTED_PEN : setPen);
        }
        // A set key that is also selected gets a second, inner ring.
        if (bSet && bSelected) {
            m_picture.DrawInnerRing(dc, rc, nKey, setPen, SELECTED_PEN.nWidth);
        }
    }
    dc.Detach();
    // Keyboard users reach the keys through the Key list; the picture shows
    // focus only as the selected key.
    return TRUE;
}
