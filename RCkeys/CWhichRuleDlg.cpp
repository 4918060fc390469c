#include "CWhichRuleDlg.h"

#include "EditorMessages.h"
#include "WhichRule.h"
#include "WindowFacts.h"
#include "resource.h"

#include <iterator>

CWhichRuleDlg::CWhichRuleDlg(CWnd* pParent, const CKeyMapDocument& user,
                             const CKeyMapDocument& installed)
    : CDialog(IDD_WHICH_RULE, pParent), m_user(user), m_installed(installed) {}

const framework::MessageMap* CWhichRuleDlg::GetMessageMap() const {
    using framework::Handler;
    static const framework::MessageMapEntry entries[] = {
        {WM_FINDER_DROPPED, 0, Handler<&CWhichRuleDlg::OnFinderDropped>},
    };
    static const framework::MessageMap map{CDialog::GetMessageMap(), entries, std::size(entries)};
    return &map;
}

BOOL CWhichRuleDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_finder.SubclassWindow(GetDlgItem(m_hWnd, IDC_FINDER));
    return TRUE;
}

LRESULT CWhichRuleDlg::OnFinderDropped(WPARAM wParam, LPARAM) {
    const WindowFacts facts =
        window_facts::FactsOf(window_facts::ApplicationWindow(reinterpret_cast<HWND>(wParam)));
    std::string strText = "Program: " + facts.strProgram + "\r\nWindow class: " + facts.strClass +
                          "\r\nWindow title: " + facts.strCaption + "\r\n\r\n";
    static const char* const FORMS[] = {"", " long", " double"};
    for (int nKey = CKeyMapDocument::FIRST_KEY; nKey <= CKeyMapDocument::LAST_KEY; ++nKey) {
        for (int nForm = 0; nForm < CKeyMapDocument::FORM_COUNT; ++nForm) {
            const RuleAnswer answer =
                WhichRule(m_user, m_installed, facts.strProgram, facts.strClass, facts.strCaption,
                          nKey, static_cast<CKeyMapDocument::Form>(nForm));
            // The plain form is always listed; the others only where set.
            if (!answer.bFound && nForm != CKeyMapDocument::FORM_PLAIN) {
                continue;
            }
            strText += "Key " + std::to_string(nKey) + FORMS[nForm] + ": ";
            if (!answer.bFound) {
                strText += "nothing\r\n";
                continue;
            }
            const CKeyMapDocument& doc = answer.bInstalled ? m_installed : m_user;
            strText += answer.strAction + "  (" + (answer.bInstalled ? "administrator's" : "your") +
                       " [" + doc.GetSectionName(answer.nSection) + "])\r\n";
        }
    }
    window_facts::SetText(GetDlgItem(m_hWnd, IDC_ANSWERS), strText);
    return 0;
}
