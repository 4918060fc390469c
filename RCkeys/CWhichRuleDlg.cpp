#include "CWhichRuleDlg.h"

#include "EditorMessages.h"
#include "CKeyMapLayers.h"
#include "WideText.h"
#include "WindowFacts.h"
#include "resource.h"

#include <iterator>

CWhichRuleDlg::CWhichRuleDlg(CWnd* pParent, const CKeyMapDocument& user,
                             const CKeyMapDocument& installed, int nFirstKey, int nLastKey)
    : CDialog(IDD_WHICH_RULE, pParent), m_user(user), m_installed(installed),
      m_nFirstKey(nFirstKey), m_nLastKey(nLastKey) {}

const framework::MessageMap* CWhichRuleDlg::GetMessageMap() const {
    using framework::Handler;
    static const framework::MessageMapEntry entries[] = {
        {WM_FINDER_DROPPED, 0, Handler<&CWhichRuleDlg::OnFinderDropped>},
        {WM_COMMAND, MAKEWPARAM(IDC_WINDOWS, LBN_SELCHANGE),
         Handler<&CWhichRuleDlg::OnWindowChosen>},
    };
    static const framework::MessageMap map{CDialog::GetMessageMap(), entries, std::size(entries)};
    return &map;
}

BOOL CWhichRuleDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_finder.SubclassWindow(GetDlgItem(m_hWnd, IDC_FINDER));
    // The finder needs a mouse; the list serves the keyboard.
    m_windows = window_facts::ListOpenWindows(GetDlgItem(m_hWnd, IDC_WINDOWS));
    return TRUE;
}

LRESULT CWhichRuleDlg::OnFinderDropped(WPARAM wParam, LPARAM) {
    ShowAnswers(window_facts::ApplicationWindow(reinterpret_cast<HWND>(wParam)));
    return 0;
}

void CWhichRuleDlg::OnWindowChosen() {
    const HWND hChosen = window_facts::ChosenWindow(GetDlgItem(m_hWnd, IDC_WINDOWS), m_windows);
    if (hChosen != nullptr) {
        ShowAnswers(hChosen);
    }
}

void CWhichRuleDlg::ShowAnswers(HWND hWindow) {
    const WindowFacts facts = window_facts::FactsOf(hWindow);
    // The maps as the editor holds them now, asked by KV480's own code.
    const unicodetext::AnsiToUtf8 ansi = [](const std::string& strText) {
        return widetext::AnsiToUtf8(strText);
    };
    CKeyMap maps[CKeyMapLayers::LAYER_COUNT];
    const std::string strUser = m_user.Save();
    const std::string strInstalled = m_installed.Save();
    maps[CKeyMapLayers::USER].Parse(strUser.data(), strUser.size(), ansi);
    maps[CKeyMapLayers::INSTALLATION].Parse(strInstalled.data(), strInstalled.size(), ansi);
    const CKeyMapLayers layers(maps[CKeyMapLayers::USER], maps[CKeyMapLayers::INSTALLATION]);
    const CKeyMap::Window window{facts.strClass, facts.strCaption, facts.strProgram};

    std::string strText = "Program: " + facts.strProgram + "\r\nWindow class: " + facts.strClass +
                          "\r\nWindow title: " + facts.strCaption + "\r\n\r\n";
    static const char* const FORMS[CKeyMap::FORM_COUNT] = {"", " long", " double"};
    for (int nKey = m_nFirstKey; nKey <= m_nLastKey; ++nKey) {
        const CKeyMapLayers::KeyAnswers answers = layers.FindAll(window, nKey);
        for (int nForm = 0; nForm < CKeyMap::FORM_COUNT; ++nForm) {
            const CKeyMapLayers::Answer& answer = answers.forms[nForm];
            // The plain form is always listed; the others only where set.
            if (!answer.IsFound() && nForm != 0) {
                continue;
            }
            strText += "Key " + std::to_string(nKey) + FORMS[nForm] + ": ";
            if (!answer.IsFound()) {
                strText += "nothing\r\n";
                continue;
            }
            strText += answer.action.Shown() + (answer.action.Repeats() ? " (repeats)" : "") +
                       "  - " +
                       (answer.layer == CKeyMapLayers::USER ? "yours" : "administrator's") + ", [" +
                       answer.strSection + "] line " + std::to_string(answer.nLine) + "\r\n";
        }
    }
    window_facts::SetText(GetDlgItem(m_hWnd, IDC_ANSWERS), strText);
}
