#include "CKeysEditorDlg.h"

#include "CAddApplicationDlg.h"
#include "CKeyChord.h"
#include "CKeyMap.h"
#include "CKeyMapStore.h"
#include "CReg.h"
#include "CWhichRuleDlg.h"
#include "CWinApp.h"
#include "DpiScale.h"
#include "EditorMessages.h"
#include "MessageBox.h"
#include "RemoteControl.h"
#include "RemoteKeyLayout.h"
#include "Settings.h"
#include "WindowDpi.h"
#include "WideText.h"
#include "WindowFacts.h"
#include "resource.h"

#include <commdlg.h>

#include <iterator>

namespace {

const COLORREF BACKGROUND_COLOUR = RGB(209, 209, 209);
const COLORREF SET_COLOUR = RGB(0, 160, 0);
const COLORREF SELECTED_COLOUR = RGB(250, 0, 0);
const int SET_PEN_WIDTH = 2;
const int SELECTED_PEN_WIDTH = 3;

const char* const ALL_APPLICATIONS = "All applications";
// KV480 reads 64 sections of a file; a list far longer helps nobody.
const std::size_t MAX_LISTED = 1000;
const char* const VALUE_ANY = "NULL";
const char* const FORM_NAMES[CKeyMapDocument::FORM_COUNT] = {"Press", "Long press", "Double press"};
// In the order of ActionKind.
const char* const KIND_NAMES[] = {
    "Not set", "Keystroke", "Sequence of keystrokes", "Text", "Program", "Mouse", "Nothing"};
const char* const VALUE_LABELS[] = {"", "Keys:", "Keys:", "Text:", "Program:", "Mouse:", ""};

const UINT PICTURES_VEKO[dpi::PICTURE_SCALES] = {IDB_REMOTE_VEKO, IDB_REMOTE_VEKO_150,
                                                 IDB_REMOTE_VEKO_200};
const UINT PICTURES_ZELMAR_OVI[dpi::PICTURE_SCALES] = {
    IDB_REMOTE_ZELMAR_OVI, IDB_REMOTE_ZELMAR_OVI_150, IDB_REMOTE_ZELMAR_OVI_200};

bool IsVekoKey(int nKey) {
    return nKey >= RC_KEY_VEKO_FIRST && nKey <= RC_KEY_VEKO_LAST;
}

std::string KeyTitle(int nKey) {
    const char* pszName = RC_KEY_NAME(nKey);
    return "Key " + std::to_string(nKey) + ": " + (pszName != nullptr ? pszName : "");
}

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

void AddComboText(HWND hCombo, const std::string& strText) {
    SendMessageW(hCombo, CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(widetext::Widen(strText).c_str()));
}

} // namespace

CKeysEditorDlg::CKeysEditorDlg()
    : CDialog(IDD_KEYS_EDITOR),
      m_hIcon(LoadIconA(framework::AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      m_nRemoteMessage(RegisterWindowMessageA(RC_MESSAGE_NAME)) {}

CKeysEditorDlg::~CKeysEditorDlg() = default;

void CKeysEditorDlg::SetFiles(const std::string& strUserFile, const std::string& strInstalledFile) {
    m_strUserFile = strUserFile;
    m_strInstalledFile = strInstalledFile;
}

const framework::MessageMap* CKeysEditorDlg::GetMessageMap() const {
    using framework::Handler;
    static const framework::MessageMapEntry entries[] = {
        {WM_DRAWITEM, 0, Handler<&CKeysEditorDlg::OnDrawItem>},
        {WM_KEYSTROKE_CAPTURED, 0, Handler<&CKeysEditorDlg::OnKeystrokeCaptured>},
        {WM_DPICHANGED, 0, Handler<&CKeysEditorDlg::OnDpiChanged>},
    };
    static const framework::MessageMap map{CDialog::GetMessageMap(), entries, std::size(entries)};
    return &map;
}

LRESULT CKeysEditorDlg::WindowProc(UINT nMessage, WPARAM wParam, LPARAM lParam) {
    // The registered number is no constant for the map.
    if (nMessage != 0 && nMessage == m_nRemoteMessage) {
        return OnRemoteKey(wParam, lParam);
    }
    if (nMessage == WM_COMMAND && LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL) {
        return OnCommand(wParam, lParam);
    }
    return CDialog::WindowProc(nMessage, wParam, lParam);
}

BOOL CKeysEditorDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    DWORD dwType = 0;
    if (CReg().ReadDword(HKEY_LOCAL_MACHINE, settings::SETTINGS_KEY, settings::VALUE_RC_TYPE,
                         &dwType) == CReg::RESULT_OK &&
        dwType == settings::RC_TYPE_ZELMAR_OVI) {
        m_nRcType = settings::RC_TYPE_ZELMAR_OVI;
    }
    SendDlgItemMessageA(m_hWnd, IDC_RC_TYPE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("VEKO"));
    SendDlgItemMessageA(m_hWnd, IDC_RC_TYPE, CB_ADDSTRING, 0,
                        reinterpret_cast<LPARAM>("ZELMAR_OVI"));
    for (int nForm = 0; nForm < CKeyMapDocument::FORM_COUNT; ++nForm) {
        for (const char* pszKind : KIND_NAMES) {
            AddComboText(Item(FormId(nForm, FORM_KIND)), pszKind);
        }
    }
    LoadFiles();
    FillApplications(m_user.FindCatchAll(), false);
    SelectRcType(m_nRcType);
    return TRUE;
}

void CKeysEditorDlg::LoadFiles() {
    m_strLoadNote.clear();
    m_bCanSave = !m_strUserFile.empty();
    std::string strBytes;
    switch (CKeyMapStore::Read(m_strUserFile, CKeyMapDocument::MAX_FILE_BYTES, strBytes)) {
    case CKeyMapStore::ReadResult::Ok:
    case CKeyMapStore::ReadResult::Missing:
        break;
    case CKeyMapStore::ReadResult::Folder:
        m_bCanSave = false;
        m_strLoadNote = "Your key map " + m_strUserFile + " is a folder: nothing can be saved.";
        break;
    case CKeyMapStore::ReadResult::Unreadable:
        // Saving what could not be read would lose it.
        m_bCanSave = false;
        m_strLoadNote = "Your key map " + m_strUserFile +
                        " cannot be read (another program may hold it): nothing can be saved.";
        break;
    }
    m_user.Load(strBytes.data(), strBytes.size());
    m_strUserBytes = strBytes;
    if (!m_user.IsComplete()) {
        m_bCanSave = false;
        m_strLoadNote = "Your key map is longer than 1 MB or ends in half a character: it is "
                        "shown, but not saved, so that nothing of it is lost.";
    } else if (m_user.GetSectionCount() > CKeyMap::MAX_SECTIONS) {
        m_strLoadNote = "KV480 reads only the first " + std::to_string(CKeyMap::MAX_SECTIONS) +
                        " applications of your key map.";
    } else if (m_user.GetUnknownLineCount() > 0) {
        m_strLoadNote = std::to_string(m_user.GetUnknownLineCount()) +
                        " line(s) of your key map are not understood; they are kept as they are.";
    }
    strBytes.clear();
    CKeyMapStore::Read(m_strInstalledFile, CKeyMapDocument::MAX_FILE_BYTES, strBytes);
    m_installed.Load(strBytes.data(), strBytes.size());
}

void CKeysEditorDlg::FillApplications(std::size_t nSelectSection, bool bSelectInstalled) {
    m_bFilling = true;
    m_apps.clear();
    const HWND hList = Item(IDC_APPS);
    SendMessageW(hList, LB_RESETCONTENT, 0, 0);
    int nSelect = -1;
    const std::size_t nCatchAll = m_user.FindCatchAll();
    for (std::size_t i = 0; i < m_user.GetSectionCount() && i < MAX_LISTED; ++i) {
        m_apps.push_back({false, false, i});
        std::string strText = i == nCatchAll ? std::string(ALL_APPLICATIONS)
                                             : FromFile(m_user, m_user.GetSectionName(i));
        if (i == nSelectSection && !bSelectInstalled) {
            nSelect = static_cast<int>(m_apps.size()) - 1;
        }
        SendMessageW(hList, LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(widetext::Widen(strText).c_str()));
    }
    if (nCatchAll == m_user.GetSectionCount()) {
        // Shown before the user sets a key in it; the section comes with the
        // first one.
        m_apps.push_back({false, true, nCatchAll});
        if (nSelect < 0 && !bSelectInstalled) {
            nSelect = static_cast<int>(m_apps.size()) - 1;
        }
        SendMessageW(hList, LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(widetext::Widen(ALL_APPLICATIONS).c_str()));
    }
    for (std::size_t i = 0; i < m_installed.GetSectionCount() && i < MAX_LISTED; ++i) {
        m_apps.push_back({true, false, i});
        if (bSelectInstalled && i == nSelectSection) {
            nSelect = static_cast<int>(m_apps.size()) - 1;
        }
        const std::string strText =
            FromFile(m_installed, m_installed.GetSectionName(i)) + " (administrator, for everyone)";
        SendMessageW(hList, LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(widetext::Widen(strText).c_str()));
    }
    m_bFilling = false;
    SelectApplication(nSelect < 0 ? 0 : nSelect);
}

void CKeysEditorDlg::SelectApplication(int nItem) {
    if (nItem < 0 || nItem >= static_cast<int>(m_apps.size())) {
        nItem = m_apps.empty() ? -1 : 0;
    }
    m_nApp = nItem;
    SendDlgItemMessageA(m_hWnd, IDC_APPS, LB_SETCURSEL, static_cast<WPARAM>(nItem), 0);
    FillForms();
    UpdateButtons();
    InvalidateRect(Item(IDC_REMOTE), nullptr, FALSE);
}

const CKeysEditorDlg::AppEntry* CKeysEditorDlg::Selected() const {
    return m_nApp >= 0 && m_nApp < static_cast<int>(m_apps.size())
               ? &m_apps[static_cast<std::size_t>(m_nApp)]
               : nullptr;
}

CKeyMapDocument* CKeysEditorDlg::SelectedDocument(std::size_t& nSection, bool bForWriting) {
    const AppEntry* pEntry = Selected();
    if (pEntry == nullptr) {
        return nullptr;
    }
    if (pEntry->bInstalled) {
        nSection = pEntry->nSection;
        return bForWriting ? nullptr : &m_installed;
    }
    if (pEntry->bMissingCatchAll) {
        if (!bForWriting) {
            return nullptr;
        }
        // The catch-all goes last: above it, it would answer for every
        // application below.
        nSection =
            m_user.AddSection(ALL_APPLICATIONS, "", VALUE_ANY, VALUE_ANY, m_user.GetSectionCount());
        m_apps[static_cast<std::size_t>(m_nApp)].bMissingCatchAll = false;
        m_apps[static_cast<std::size_t>(m_nApp)].nSection = nSection;
        return &m_user;
    }
    nSection = pEntry->nSection;
    return &m_user;
}

std::string CKeysEditorDlg::FromFile(const CKeyMapDocument& doc, const std::string& strText) const {
    return doc.GetEncoding() == CKeyMapDocument::Encoding::Ansi ? widetext::AnsiToUtf8(strText)
                                                                : strText;
}

std::string CKeysEditorDlg::ToFile(CKeyMapDocument& doc, const std::string& strText) const {
    std::string strAnsi;
    if (doc.GetEncoding() != CKeyMapDocument::Encoding::Ansi) {
        return strText;
    }
    if (widetext::Utf8ToAnsiExact(strText, strAnsi)) {
        return strAnsi;
    }
    // "?" in place of what the user typed would be lost text.
    doc.ConvertToUtf8(widetext::AnsiToUtf8);
    return strText;
}

void CKeysEditorDlg::SelectRcType(int nRcType) {
    m_nRcType = nRcType == settings::RC_TYPE_ZELMAR_OVI ? settings::RC_TYPE_ZELMAR_OVI
                                                        : settings::RC_TYPE_VEKO;
    SendDlgItemMessageA(m_hWnd, IDC_RC_TYPE, CB_SETCURSEL, static_cast<WPARAM>(m_nRcType), 0);
    LoadPicture();
    FillKeyList();
    const bool bVeko = m_nRcType == settings::RC_TYPE_VEKO;
    if (IsVekoKey(m_nKey) != bVeko) {
        m_nKey = bVeko ? RC_KEY_VEKO_FIRST : RC_KEY_ZELMAR_FIRST;
    }
    SelectKey(m_nKey);
}

void CKeysEditorDlg::FillKeyList() {
    const HWND hCombo = Item(IDC_KEY);
    SendMessageW(hCombo, CB_RESETCONTENT, 0, 0);
    const bool bVeko = m_nRcType == settings::RC_TYPE_VEKO;
    const int nFirst = bVeko ? RC_KEY_VEKO_FIRST : RC_KEY_ZELMAR_FIRST;
    const int nLast = bVeko ? RC_KEY_VEKO_LAST : RC_KEY_ZELMAR_LAST;
    for (int nKey = nFirst; nKey <= nLast; ++nKey) {
        AddComboText(hCombo, KeyTitle(nKey));
    }
}

void CKeysEditorDlg::SelectKey(int nKey) {
    if (!RC_IS_KEY(nKey)) {
        return;
    }
    if (IsVekoKey(nKey) != (m_nRcType == settings::RC_TYPE_VEKO)) {
        m_nKey = nKey;
        SelectRcType(IsVekoKey(nKey) ? settings::RC_TYPE_VEKO : settings::RC_TYPE_ZELMAR_OVI);
        return;
    }
    m_nKey = nKey;
    const int nFirst = IsVekoKey(nKey) ? RC_KEY_VEKO_FIRST : RC_KEY_ZELMAR_FIRST;
    SendDlgItemMessageA(m_hWnd, IDC_KEY, CB_SETCURSEL, static_cast<WPARAM>(nKey - nFirst), 0);
    FillForms();
    InvalidateRect(Item(IDC_REMOTE), nullptr, FALSE);
}

void CKeysEditorDlg::FillForms() {
    m_bFilling = true;
    std::size_t nSection = 0;
    const CKeyMapDocument* pDoc = SelectedDocument(nSection, false);
    const AppEntry* pEntry = Selected();
    const bool bWritable = pEntry != nullptr && !pEntry->bInstalled && m_bCanSave;
    for (int nForm = 0; nForm < CKeyMapDocument::FORM_COUNT; ++nForm) {
        const std::string strAction =
            pDoc != nullptr
                ? FromFile(*pDoc, pDoc->GetAction(nSection, m_nKey,
                                                  static_cast<CKeyMapDocument::Form>(nForm)))
                : std::string();
        const ActionParts parts = SplitAction(strAction);
        SendMessageA(Item(FormId(nForm, FORM_KIND)), CB_SETCURSEL, static_cast<WPARAM>(parts.kind),
                     0);
        ShowFormKind(nForm, parts.kind);
        window_facts::SetText(Item(FormId(nForm, FORM_VALUE)), parts.strValue);
        CheckDlgButton(m_hWnd, FormId(nForm, FORM_REPEAT),
                       parts.bRepeat ? BST_CHECKED : BST_UNCHECKED);
        for (int nOffset = FORM_KIND; nOffset <= FORM_BROWSE; ++nOffset) {
            EnableWindow(Item(FormId(nForm, nOffset)), bWritable);
        }
    }
    m_bFilling = false;
    UpdateStatus();
}

void CKeysEditorDlg::ShowFormKind(int nForm, ActionKind kind) {
    const bool bValue = kind != ActionKind::NotSet && kind != ActionKind::Nothing;
    const HWND hValue = Item(FormId(nForm, FORM_VALUE));
    ShowWindow(hValue, bValue ? SW_SHOWNA : SW_HIDE);
    ShowWindow(Item(FormId(nForm, FORM_VALUE_LABEL)), bValue ? SW_SHOWNA : SW_HIDE);
    SetWindowTextA(Item(FormId(nForm, FORM_VALUE_LABEL)), VALUE_LABELS[static_cast<int>(kind)]);
    ShowWindow(Item(FormId(nForm, FORM_REPEAT)), KindRepeats(kind) ? SW_SHOWNA : SW_HIDE);
    ShowWindow(Item(FormId(nForm, FORM_BROWSE)), kind == ActionKind::Program ? SW_SHOWNA : SW_HIDE);
    // The list offers what may be written for the kind.
    const std::string strValue = window_facts::GetText(hValue);
    SendMessageW(hValue, CB_RESETCONTENT, 0, 0);
    if (kind == ActionKind::Keystroke) {
        for (const std::string& strName : CKeyChord::KeyNames()) {
            AddComboText(hValue, strName);
        }
    } else if (kind == ActionKind::Mouse) {
        for (const std::string& strName : MouseActionNames()) {
            AddComboText(hValue, strName);
        }
    }
    window_facts::SetText(hValue, strValue);
}

void CKeysEditorDlg::OnFormChanged(int nForm, bool bChosenFromList) {
    if (m_bFilling) {
        return;
    }
    ActionParts parts;
    const LRESULT nKind = SendMessageA(Item(FormId(nForm, FORM_KIND)), CB_GETCURSEL, 0, 0);
    parts.kind = nKind >= 0 && nKind < static_cast<LRESULT>(std::size(KIND_NAMES))
                     ? static_cast<ActionKind>(nKind)
                     : ActionKind::NotSet;
    const HWND hValue = Item(FormId(nForm, FORM_VALUE));
    parts.strValue = window_facts::GetText(hValue);
    // At a choice from the list the field does not show it yet.
    if (bChosenFromList) {
        const LRESULT nChosen = SendMessageA(hValue, CB_GETCURSEL, 0, 0);
        const LRESULT nLength =
            nChosen >= 0 ? SendMessageW(hValue, CB_GETLBTEXTLEN, static_cast<WPARAM>(nChosen), 0)
                         : 0;
        if (nLength > 0) {
            std::wstring strItem(static_cast<std::size_t>(nLength) + 1, L'\0');
            SendMessageW(hValue, CB_GETLBTEXT, static_cast<WPARAM>(nChosen),
                         reinterpret_cast<LPARAM>(&strItem[0]));
            strItem.resize(static_cast<std::size_t>(nLength));
            parts.strValue = widetext::Narrow(strItem.c_str());
        }
    }
    parts.bRepeat = IsDlgButtonChecked(m_hWnd, FormId(nForm, FORM_REPEAT)) == BST_CHECKED;
    std::size_t nSection = 0;
    const std::size_t nOldCount = m_user.GetSectionCount();
    CKeyMapDocument* pDoc = SelectedDocument(nSection, true);
    if (pDoc == nullptr) {
        return;
    }
    pDoc->SetAction(nSection, m_nKey, static_cast<CKeyMapDocument::Form>(nForm),
                    ToFile(*pDoc, JoinAction(parts)));
    if (m_user.GetSectionCount() != nOldCount) {
        // The catch-all section was made: the list's entry now stands for it.
        m_apps[static_cast<std::size_t>(m_nApp)].nSection = nSection;
    }
    InvalidateRect(Item(IDC_REMOTE), nullptr, FALSE);
    UpdateStatus(ActionProblem(parts));
}

LRESULT CKeysEditorDlg::OnCommand(WPARAM wParam, LPARAM) {
    const int nId = LOWORD(wParam);
    const int nCode = HIWORD(wParam);
    if (nId >= FormId(0, 0) && nId < FormId(CKeyMapDocument::FORM_COUNT, 0)) {
        const int nForm = (nId - FormId(0, 0)) / 10;
        const int nOffset = (nId - FormId(0, 0)) % 10;
        if (nOffset == FORM_KIND && nCode == CBN_SELCHANGE) {
            const LRESULT nKind = SendMessageA(Item(nId), CB_GETCURSEL, 0, 0);
            ShowFormKind(nForm, static_cast<ActionKind>(nKind < 0 ? 0 : nKind));
            OnFormChanged(nForm);
        } else if (nOffset == FORM_VALUE && (nCode == CBN_EDITCHANGE || nCode == CBN_SELCHANGE)) {
            OnFormChanged(nForm);
        } else if (nOffset == FORM_VALUE && nCode == CBN_SETFOCUS) {
            const LRESULT nKind = SendMessageA(Item(FormId(nForm, FORM_KIND)), CB_GETCURSEL, 0, 0);
            if (nKind == static_cast<LRESULT>(ActionKind::Keystroke) &&
                m_capture.Start(m_hWnd, WM_KEYSTROKE_CAPTURED)) {
                m_nCaptureForm = nForm;
                UpdateStatus();
            }
        } else if (nOffset == FORM_VALUE && nCode == CBN_KILLFOCUS) {
            m_capture.Stop();
            m_nCaptureForm = -1;
            UpdateStatus();
        } else if (nOffset == FORM_REPEAT && nCode == BN_CLICKED) {
            OnFormChanged(nForm);
        } else if (nOffset == FORM_BROWSE && nCode == BN_CLICKED) {
            OnBrowse(nForm);
        }
        return 0;
    }
    switch (nId) {
    case IDC_APPS:
        if (nCode == LBN_SELCHANGE && !m_bFilling) {
            SelectApplication(
                static_cast<int>(SendDlgItemMessageA(m_hWnd, IDC_APPS, LB_GETCURSEL, 0, 0)));
        }
        break;
    case IDC_RC_TYPE:
        if (nCode == CBN_SELCHANGE) {
            SelectRcType(
                static_cast<int>(SendDlgItemMessageA(m_hWnd, IDC_RC_TYPE, CB_GETCURSEL, 0, 0)));
        }
        break;
    case IDC_KEY:
        if (nCode == CBN_SELCHANGE) {
            const int nFirst =
                m_nRcType == settings::RC_TYPE_VEKO ? RC_KEY_VEKO_FIRST : RC_KEY_ZELMAR_FIRST;
            SelectKey(nFirst +
                      static_cast<int>(SendDlgItemMessageA(m_hWnd, IDC_KEY, CB_GETCURSEL, 0, 0)));
        }
        break;
    case IDC_REMOTE:
        if (nCode == STN_CLICKED || nCode == STN_DBLCLK) {
            OnRemoteClicked();
        }
        break;
    case IDC_MOVE_UP:
    case IDC_MOVE_DOWN:
        OnMove(nId == IDC_MOVE_UP);
        break;
    case IDC_ADD_APP:
        OnAddApplication();
        break;
    case IDC_REMOVE_APP:
        OnRemoveApplication();
        break;
    case IDC_WHICH:
        OnWhichRule();
        break;
    case IDC_SAVE:
        Save();
        break;
    default:
        return Default();
    }
    return 0;
}

LRESULT CKeysEditorDlg::OnKeystrokeCaptured(WPARAM wParam, LPARAM lParam) {
    const int nForm = m_nCaptureForm;
    if (nForm < 0 || !m_capture.IsActive()) {
        return 0;
    }
    const std::string strChord = ChordText(wParam, lParam);
    if (strChord.empty()) {
        UpdateStatus("That key has no name in the key map; choose one from the list.");
        return 0;
    }
    const HWND hValue = Item(FormId(nForm, FORM_VALUE));
    m_bFilling = true;
    SendMessageA(hValue, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    window_facts::SetText(hValue, strChord);
    m_bFilling = false;
    OnFormChanged(nForm);
    return 0;
}

void CKeysEditorDlg::OnBrowse(int nForm) {
    wchar_t szFile[MAX_PATH] = L"";
    OPENFILENAMEW ofn;
    ZeroMemory(&ofn, sizeof(ofn));
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = m_hWnd;
    ofn.lpstrFilter = L"Programs (*.exe)\0*.exe\0All files\0*.*\0";
    ofn.lpstrFile = szFile;
    ofn.nMaxFile = MAX_PATH;
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&ofn)) {
        return;
    }
    window_facts::SetText(Item(FormId(nForm, FORM_VALUE)), "\"" + widetext::Narrow(szFile) + "\"");
    OnFormChanged(nForm);
}

void CKeysEditorDlg::OnRemoteClicked() {
    POINT pt;
    GetCursorPos(&pt);
    const HWND hRemote = Item(IDC_REMOTE);
    ScreenToClient(hRemote, &pt);
    RECT rc;
    GetClientRect(hRemote, &rc);
    const int nKey =
        remote_layout::KeyAt(m_nRcType, pt.x, pt.y, rc.right / 2, rc.bottom / 2,
                             m_nPictureHalves != 0 ? m_nPictureHalves : dpi::HALVES_1X);
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
    const AppEntry* pEntry = Selected();
    if (pEntry == nullptr || pEntry->bInstalled || pEntry->bMissingCatchAll) {
        return;
    }
    const std::size_t nSection = pEntry->nSection;
    if (m_user.MoveSection(nSection, bUp)) {
        FillApplications(bUp ? nSection - 1 : nSection + 1, false);
    }
}

void CKeysEditorDlg::OnAddApplication() {
    CAddApplicationDlg dlg(this);
    if (dlg.DoModal() != IDOK) {
        return;
    }
    // The encoding for all four first: one converted after another was made
    // ANSI would mix the two.
    ToFile(m_user, dlg.m_strName + dlg.m_strProgram + dlg.m_strClass + dlg.m_strWindow);
    // Above the catch-all, which would otherwise answer first.
    const std::size_t nSection = m_user.AddSection(
        ToFile(m_user, dlg.m_strName), ToFile(m_user, dlg.m_strProgram),
        ToFile(m_user, dlg.m_strClass), ToFile(m_user, dlg.m_strWindow), m_user.FindCatchAll());
    if (dlg.m_pReadyMade != nullptr) {
        for (const ReadyMadeEntry::Action& action : dlg.m_pReadyMade->actions) {
            const int nKey = std::atoi(action.pszKey + 3);
            const std::string strKey = action.pszKey;
            const CKeyMapDocument::Form form =
                strKey.find("long") != std::string::npos     ? CKeyMapDocument::FORM_LONG
                : strKey.find("double") != std::string::npos ? CKeyMapDocument::FORM_DOUBLE
                                                             : CKeyMapDocument::FORM_PLAIN;
            m_user.SetAction(nSection, nKey, form, action.pszAction);
        }
    }
    FillApplications(nSection, false);
}

void CKeysEditorDlg::OnRemoveApplication() {
    const AppEntry* pEntry = Selected();
    if (pEntry == nullptr || pEntry->bInstalled || pEntry->bMissingCatchAll) {
        return;
    }
    const std::string strText = "Remove \"" +
                                FromFile(m_user, m_user.GetSectionName(pEntry->nSection)) +
                                "\" and every key set for it?";
    if (framework::ShowMessageBox(m_hWnd, strText.c_str(), EDITOR_TITLE,
                                  MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return;
    }
    m_user.RemoveSection(pEntry->nSection);
    FillApplications(m_user.FindCatchAll(), false);
}

void CKeysEditorDlg::OnWhichRule() {
    const bool bVeko = m_nRcType == 0;
    CWhichRuleDlg dlg(this, m_user, m_installed, bVeko ? RC_KEY_VEKO_FIRST : RC_KEY_ZELMAR_FIRST,
                      bVeko ? RC_KEY_VEKO_LAST : RC_KEY_ZELMAR_LAST);
    dlg.DoModal();
}

bool CKeysEditorDlg::Save() {
    if (!m_bCanSave) {
        framework::ShowMessageBox(m_hWnd, m_strLoadNote.c_str(), EDITOR_TITLE,
                                  MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    // Another program (Notepad, a second editor of a roaming profile) may
    // have changed the file since it was read: saving would undo that.
    std::string strOnDisk;
    const CKeyMapStore::ReadResult result =
        CKeyMapStore::Read(m_strUserFile, CKeyMapDocument::MAX_FILE_BYTES, strOnDisk);
    if ((result == CKeyMapStore::ReadResult::Ok && strOnDisk != m_strUserBytes) ||
        (result == CKeyMapStore::ReadResult::Missing && !m_strUserBytes.empty())) {
        const std::string strText = "Your key map " + m_strUserFile +
                                    " was changed by another program since it was opened.\n"
                                    "Replace it with what you see here?";
        if (framework::ShowMessageBox(m_hWnd, strText.c_str(), EDITOR_TITLE,
                                      MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES) {
            return false;
        }
    }
    const std::string strBytes = m_user.Save();
    std::string strError;
    if (!CKeyMapStore::Write(m_strUserFile, strBytes, strError)) {
        framework::ShowMessageBox(m_hWnd, strError.c_str(), EDITOR_TITLE, MB_OK | MB_ICONERROR);
        return false;
    }
    m_strUserBytes = strBytes;
    m_user.SetModified(false);
    m_bSaved = true;
    UpdateStatus();
    return true;
}

void CKeysEditorDlg::OnOK() {
    // Enter in a field must not close the window; Save is a button of its own.
}

void CKeysEditorDlg::OnCancel() {
    if (m_user.IsModified()) {
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

void CKeysEditorDlg::UpdateStatus(const std::string& strProblem) {
    std::string strText;
    const AppEntry* pEntry = Selected();
    std::size_t nSection = 0;
    const CKeyMapDocument* pDoc = SelectedDocument(nSection, false);
    if (pEntry != nullptr && pEntry->bInstalled) {
        strText = "Set by the administrator for everyone; your own applications come first.";
    } else if (pDoc != nullptr && !pDoc->IsCatchAll(nSection)) {
        const char* const LABELS[] = {"Program", "Window class", "Window title"};
        for (int c = 0; c < CKeyMapDocument::CRITERION_COUNT; ++c) {
            const std::string strValue =
                pDoc->GetCriterion(nSection, static_cast<CKeyMapDocument::Criterion>(c));
            if (!strValue.empty()) {
                strText += std::string(strText.empty() ? "" : "; ") + LABELS[c] + ": " +
                           FromFile(*pDoc, strValue);
            }
        }
    } else {
        strText = "Keys set here work in every application that does not set them itself.";
    }
    if (pEntry != nullptr && !pEntry->bInstalled) {
        strText += "\r\nA key not set here goes to the applications below.";
    }
    if (m_nCaptureForm >= 0) {
        strText += "\r\nPress the keystroke on the keyboard (Tab leaves the field).";
    }
    if (!strProblem.empty()) {
        strText += "\r\nKV480 cannot type this: " + strProblem + ".";
    }
    if (!m_strLoadNote.empty()) {
        strText += "\r\n" + m_strLoadNote;
    }
    if (m_user.IsModified()) {
        strText += "\r\nNot saved yet.";
    } else if (m_bSaved) {
        // Without a word the user cannot tell that the save took, nor where.
        strText += "\r\nSaved in " + m_strUserFile + "; KV480 uses it from the next key press.";
    }
    window_facts::SetText(Item(IDC_STATUS), strText);
}

void CKeysEditorDlg::UpdateButtons() {
    const AppEntry* pEntry = Selected();
    const bool bOwn =
        pEntry != nullptr && !pEntry->bInstalled && !pEntry->bMissingCatchAll && m_bCanSave;
    EnableWindow(Item(IDC_MOVE_UP), bOwn && pEntry->nSection > 0);
    EnableWindow(Item(IDC_MOVE_DOWN), bOwn && pEntry->nSection + 1 < m_user.GetSectionCount());
    EnableWindow(Item(IDC_REMOVE_APP), bOwn);
    EnableWindow(Item(IDC_ADD_APP), m_bCanSave);
    EnableWindow(Item(IDC_SAVE), m_bCanSave);
}

void CKeysEditorDlg::LoadPicture() {
    const int nHalves = dpi::PictureHalves(static_cast<int>(framework::GetWindowDpi(m_hWnd)));
    const UINT* pPictures =
        m_nRcType == settings::RC_TYPE_ZELMAR_OVI ? PICTURES_ZELMAR_OVI : PICTURES_VEKO;
    m_bmpRemote.DeleteObject();
    m_nPictureHalves = nHalves;
    if (!m_bmpRemote.LoadBitmap(pPictures[dpi::PictureIndex(nHalves)])) {
        m_bmpRemote.LoadBitmap(pPictures[0]);
        m_nPictureHalves = dpi::HALVES_1X;
    }
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
    const HDC hDC = pItem->hDC;
    const RECT rc = pItem->rcItem;
    const HBRUSH hBackground = CreateSolidBrush(BACKGROUND_COLOUR);
    FillRect(hDC, &rc, hBackground);
    DeleteObject(hBackground);
    const int cx = (rc.left + rc.right) / 2;
    const int cy = (rc.top + rc.bottom) / 2;
    BITMAP bm;
    if (m_bmpRemote.GetBitmap(&bm)) {
        const HDC hPicture = CreateCompatibleDC(hDC);
        if (hPicture != nullptr) {
            const HGDIOBJ hOld = SelectObject(hPicture, m_bmpRemote.GetSafeHandle());
            BitBlt(hDC, cx - bm.bmWidth / 2, cy - bm.bmHeight / 2, bm.bmWidth, bm.bmHeight,
                   hPicture, 0, 0, SRCCOPY);
            SelectObject(hPicture, hOld);
            DeleteDC(hPicture);
        }
    }
    std::size_t nSection = 0;
    const CKeyMapDocument* pDoc = SelectedDocument(nSection, false);
    const HGDIOBJ hOldBrush = SelectObject(hDC, GetStockObject(HOLLOW_BRUSH));
    for (int nKey = RC_KEY_FIRST; nKey <= RC_KEY_LAST; ++nKey) {
        bool bSet = false;
        for (int nForm = 0; pDoc != nullptr && nForm < CKeyMapDocument::FORM_COUNT; ++nForm) {
            bSet =
                bSet ||
                !pDoc->GetAction(nSection, nKey, static_cast<CKeyMapDocument::Form>(nForm)).empty();
        }
        const bool bSelected = nKey == m_nKey;
        const remote_layout::KeyMark* pMark = remote_layout::FindMark(m_nRcType, nKey);
        if (pMark == nullptr || (!bSet && !bSelected)) {
            continue;
        }
        const int nHalves = m_nPictureHalves != 0 ? m_nPictureHalves : dpi::HALVES_1X;
        const HPEN hPen = CreatePen(
            PS_SOLID, dpi::ScaleByHalves(bSelected ? SELECTED_PEN_WIDTH : SET_PEN_WIDTH, nHalves),
            bSelected ? SELECTED_COLOUR : SET_COLOUR);
        const HGDIOBJ hOldPen = SelectObject(hDC, hPen);
        const remote_layout::Rect r = remote_layout::ScaledRect(*pMark, cx, cy, nHalves);
        if (pMark->shape == remote_layout::Shape::Ellipse) {
            Ellipse(hDC, r.nLeft, r.nTop, r.nRight, r.nBottom);
        } else {
            const int nCorner = dpi::ScaleByHalves(pMark->nCorner, nHalves);
            RoundRect(hDC, r.nLeft, r.nTop, r.nRight, r.nBottom, nCorner, nCorner);
        }
        // A set key that is also selected gets a second, inner ring.
        if (bSet && bSelected) {
            SelectObject(hDC, hOldPen);
            DeleteObject(hPen);
            const int nInset = dpi::ScaleByHalves(SELECTED_PEN_WIDTH, nHalves);
            const HPEN hSetPen =
                CreatePen(PS_SOLID, dpi::ScaleByHalves(SET_PEN_WIDTH, nHalves), SET_COLOUR);
            const HGDIOBJ hPrevious = SelectObject(hDC, hSetPen);
            Ellipse(hDC, r.nLeft + nInset, r.nTop + nInset, r.nRight - nInset, r.nBottom - nInset);
            SelectObject(hDC, hPrevious);
            DeleteObject(hSetPen);
            continue;
        }
        SelectObject(hDC, hOldPen);
        DeleteObject(hPen);
    }
    SelectObject(hDC, hOldBrush);
    // Keyboard users reach the keys through the Key list; the picture shows
    // focus only as the selected key.
    return TRUE;
}
