#include "CWhichRuleDlg.h"

#include "EditorMessages.h"
#include "WideText.h"
#include "WindowFacts.h"
#include "resource.h"

#include <iterator>

namespace {

bool SameName(const std::string& strA, const std::string& strB) {
    return CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, widetext::Widen(strA).c_str(), -1,
                          widetext::Widen(strB).c_str(), -1) == CSTR_EQUAL;
}

} // namespace

CWhichRuleDlg::CWhichRuleDlg(CWnd* pParent, const CWhichRuleAnswers& answers,
                             const std::vector<std::string>& modes, const std::string& strModeOn,
                             int nFirstKey, int nLastKey)
    : CDialog(IDD_WHICH_RULE, pParent), m_answers(answers), m_modes(modes), m_strModeOn(strModeOn),
      m_nFirstKey(nFirstKey), m_nLastKey(nLastKey) {}

const framework::MessageMap* CWhichRuleDlg::GetMessageMap() const {
    using framework::Handler;
    static const framework::MessageMapEntry entries[] = {
        {WM_FINDER_DROPPED, 0, Handler<&CWhichRuleDlg::OnFinderDropped>},
        {WM_COMMAND, MAKEWPARAM(IDC_WINDOWS, LBN_SELCHANGE),
         Handler<&CWhichRuleDlg::OnWindowChosen>},
        {WM_COMMAND, MAKEWPARAM(IDC_WHICH_MODE, CBN_SELCHANGE),
         Handler<&CWhichRuleDlg::OnModeChosen>},
    };
    static const framework::MessageMap map{CDialog::GetMessageMap(), entries, std::size(entries)};
    return &map;
}

BOOL CWhichRuleDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_finder.SubclassWindow(GetDlgItem(m_hWnd, IDC_FINDER));
    // The finder needs a mouse; the list serves the keyboard.
    m_windows = window_facts::ListOpenWindows(GetDlgItem(m_hWnd, IDC_WINDOWS));
    const HWND hModes = GetDlgItem(m_hWnd, IDC_WHICH_MODE);
    SendMessageW(hModes, CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(widetext::Widen(CWhichRuleAnswers::NO_MODE).c_str()));
    WPARAM nChosen = 0;
    for (std::size_t i = 0; i < m_modes.size(); ++i) {
        SendMessageW(hModes, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(widetext::Widen(m_modes[i]).c_str()));
        if (!m_strModeOn.empty() && SameName(m_modes[i], m_strModeOn)) {
            nChosen = i + 1;
        }
    }
    SendMessageW(hModes, CB_SETCURSEL, nChosen, 0);
    return TRUE;
}

LRESULT CWhichRuleDlg::OnFinderDropped(WPARAM wParam, LPARAM) {
    m_hShown = window_facts::ApplicationWindow(reinterpret_cast<HWND>(wParam));
    ShowAnswers();
    return 0;
}

void CWhichRuleDlg::OnWindowChosen() {
    const HWND hChosen = window_facts::ChosenWindow(GetDlgItem(m_hWnd, IDC_WINDOWS), m_windows);
    if (hChosen != nullptr) {
        m_hShown = hChosen;
        ShowAnswers();
    }
}

void CWhichRuleDlg::ShowAnswers() {
    if (m_hShown == nullptr) {
        return;
    }
    const LRESULT nMode = SendDlgItemMessageW(m_hWnd, IDC_WHICH_MODE, CB_GETCURSEL, 0, 0);
    const std::string strMode = nMode > 0 && static_cast<std::size_t>(nMode) <= m_modes.size()
                                    ? m_modes[static_cast<std::size_t>(nMode) - 1]
                                    : std::string();
    const WindowFacts facts = window_facts::FactsOf(m_hShown);
    window_facts::SetText(GetDlgItem(m_hWnd, IDC_ANSWERS),
                          m_answers.Text({facts.strClass, facts.strCaption, facts.strProgram},
                                         strMode, m_nFirstKey, m_nLastKey));
}
