#include "CAddApplicationDlg.h"

#include "EditorMessages.h"
#include "MessageBox.h"
#include "WideText.h"
#include "WindowFacts.h"
#include "resource.h"

#include <iterator>

CAddApplicationDlg::CAddApplicationDlg(CWnd* pParent) : CDialog(IDD_ADD_APPLICATION, pParent) {}

const framework::MessageMap* CAddApplicationDlg::GetMessageMap() const {
    using framework::Handler;
    static const framework::MessageMapEntry entries[] = {
        {WM_FINDER_DROPPED, 0, Handler<&CAddApplicationDlg::OnFinderDropped>},
        {WM_COMMAND, MAKEWPARAM(IDC_WINDOWS, LBN_SELCHANGE),
         Handler<&CAddApplicationDlg::OnSelchangeWindows>},
        {WM_COMMAND, MAKEWPARAM(IDC_READY_MADE, CBN_SELCHANGE),
         Handler<&CAddApplicationDlg::OnSelchangeReadyMade>},
        {WM_COMMAND, IDC_USE_CLASS, Handler<&CAddApplicationDlg::EnableCriteria>},
        {WM_COMMAND, IDC_USE_WINDOW, Handler<&CAddApplicationDlg::EnableCriteria>},
    };
    static const framework::MessageMap map{CDialog::GetMessageMap(), entries, std::size(entries)};
    return &map;
}

BOOL CAddApplicationDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_finder.SubclassWindow(GetDlgItem(m_hWnd, IDC_FINDER));
    const HWND hReady = GetDlgItem(m_hWnd, IDC_READY_MADE);
    SendMessageW(hReady, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"(none)"));
    for (const ReadyMadeEntry& entry : ReadyMadeEntries()) {
        SendMessageW(hReady, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(widetext::Widen(entry.pszName).c_str()));
    }
    SendMessageW(hReady, CB_SETCURSEL, 0, 0);
    FillWindowList();
    EnableCriteria();
    return TRUE;
}

void CAddApplicationDlg::FillWindowList() {
    m_windows = window_facts::ListOpenWindows(GetDlgItem(m_hWnd, IDC_WINDOWS));
}

void CAddApplicationDlg::EnableCriteria() {
    EnableWindow(GetDlgItem(m_hWnd, IDC_APP_CLASS),
                 IsDlgButtonChecked(m_hWnd, IDC_USE_CLASS) == BST_CHECKED);
    EnableWindow(GetDlgItem(m_hWnd, IDC_APP_WINDOW),
                 IsDlgButtonChecked(m_hWnd, IDC_USE_WINDOW) == BST_CHECKED);
}

LRESULT CAddApplicationDlg::OnFinderDropped(WPARAM wParam, LPARAM) {
    FillFromWindow(window_facts::ApplicationWindow(reinterpret_cast<HWND>(wParam)));
    return 0;
}

void CAddApplicationDlg::OnSelchangeWindows() {
    const HWND hChosen = window_facts::ChosenWindow(GetDlgItem(m_hWnd, IDC_WINDOWS), m_windows);
    if (hChosen != nullptr) {
        FillFromWindow(hChosen);
    }
}

void CAddApplicationDlg::FillFromWindow(HWND hWnd) {
    const WindowFacts facts = window_facts::FactsOf(hWnd);
    if (facts.strClass.empty()) {
        return; // gone meanwhile
    }
    m_pReadyMade = nullptr;
    SendDlgItemMessageA(m_hWnd, IDC_READY_MADE, CB_SETCURSEL, 0, 0);
    std::string strName = facts.strProgram;
    if (strName.size() > 4 && strName[strName.size() - 4] == '.') {
        strName.resize(strName.size() - 4);
    }
    window_facts::SetText(GetDlgItem(m_hWnd, IDC_APP_NAME),
                          strName.empty() ? facts.strClass : strName);
    window_facts::SetText(GetDlgItem(m_hWnd, IDC_APP_PROGRAM), facts.strProgram);
    window_facts::SetText(GetDlgItem(m_hWnd, IDC_APP_CLASS), facts.strClass);
    window_facts::SetText(GetDlgItem(m_hWnd, IDC_APP_WINDOW),
                          SuggestWindowPattern(facts.strCaption));
    // The program alone names the application best; without it (a process
    // the editor may not ask) the class and the caption must.
    const bool bNoProgram = facts.strProgram.empty();
    CheckDlgButton(m_hWnd, IDC_USE_CLASS, bNoProgram ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(m_hWnd, IDC_USE_WINDOW, bNoProgram ? BST_CHECKED : BST_UNCHECKED);
    EnableCriteria();
}

void CAddApplicationDlg::OnSelchangeReadyMade() {
    const LRESULT nItem = SendDlgItemMessageA(m_hWnd, IDC_READY_MADE, CB_GETCURSEL, 0, 0);
    if (nItem <= 0 || static_cast<std::size_t>(nItem) > ReadyMadeEntries().size()) {
        m_pReadyMade = nullptr;
        return;
    }
    m_pReadyMade = &ReadyMadeEntries()[static_cast<std::size_t>(nItem) - 1];
    window_facts::SetText(GetDlgItem(m_hWnd, IDC_APP_NAME), m_pReadyMade->pszName);
    window_facts::SetText(GetDlgItem(m_hWnd, IDC_APP_PROGRAM), m_pReadyMade->pszProgram);
    window_facts::SetText(GetDlgItem(m_hWnd, IDC_APP_CLASS),
                          m_pReadyMade->pszClass != nullptr ? m_pReadyMade->pszClass : "");
    window_facts::SetText(GetDlgItem(m_hWnd, IDC_APP_WINDOW), "");
    CheckDlgButton(m_hWnd, IDC_USE_CLASS,
                   m_pReadyMade->pszClass != nullptr ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(m_hWnd, IDC_USE_WINDOW, BST_UNCHECKED);
    EnableCriteria();
}

void CAddApplicationDlg::OnOK() {
    m_strName = window_facts::GetText(GetDlgItem(m_hWnd, IDC_APP_NAME));
    m_strProgram = window_facts::GetText(GetDlgItem(m_hWnd, IDC_APP_PROGRAM));
    m_strClass = IsDlgButtonChecked(m_hWnd, IDC_USE_CLASS) == BST_CHECKED
                     ? window_facts::GetText(GetDlgItem(m_hWnd, IDC_APP_CLASS))
                     : std::string();
    m_strWindow = IsDlgButtonChecked(m_hWnd, IDC_USE_WINDOW) == BST_CHECKED
                      ? window_facts::GetText(GetDlgItem(m_hWnd, IDC_APP_WINDOW))
                      : std::string();
    if (m_strProgram.empty() && m_strClass.empty() && m_strWindow.empty()) {
        framework::ShowMessageBox(m_hWnd,
                                  "Point at the application's window, or fill in its program.",
                                  EDITOR_TITLE, MB_OK | MB_ICONINFORMATION);
        return;
    }
    // A section name may not hold the brackets that end it.
    for (char& c : m_strName) {
        if (c == '[' || c == ']') {
            c = ' ';
        }
    }
    if (m_strName.empty()) {
        m_strName = !m_strProgram.empty() ? m_strProgram : "Application";
    }
    CDialog::OnOK();
}
