#include "CMenuEntryDlg.h"

#include "CKeysEditorModel.h"
#include "EditorMessages.h"
#include "MessageBox.h"
#include "WindowFacts.h"
#include "resource.h"

#include <iterator>

CMenuEntryDlg::CMenuEntryDlg(CWnd* pParent, const Offers& offers, const std::string& strLabel,
                             const std::string& strAction)
    : CDialog(IDD_MENU_ENTRY, pParent), m_strLabel(strLabel), m_strAction(strAction),
      m_offers(offers),
      m_form({IDC_ENTRY_KIND, IDC_ENTRY_VALUE, IDC_ENTRY_REPEAT, IDC_ENTRY_BROWSE,
              IDC_ENTRY_VALUE_LABEL, IDC_ENTRY_INHERITED, IDC_ENTRY_INHERITED_LABEL}) {}

const framework::MessageMap* CMenuEntryDlg::GetMessageMap() const {
    using framework::ControlNotifications;
    using framework::Handler;
    using C = CMenuEntryDlg;
    static const framework::MessageMapEntry entries[] = {
        ControlNotifications(IDC_ENTRY_KIND, Handler<&C::OnFormCommand>),
        ControlNotifications(IDC_ENTRY_VALUE, Handler<&C::OnFormCommand>),
        ControlNotifications(IDC_ENTRY_REPEAT, Handler<&C::OnFormCommand>),
        ControlNotifications(IDC_ENTRY_BROWSE, Handler<&C::OnFormCommand>),
    };
    static const framework::MessageMap map{CDialog::GetMessageMap(), entries, std::size(entries)};
    return &map;
}

BOOL CMenuEntryDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_form.Attach(m_hWnd);
    m_form.SetPrograms(m_offers.programs);
    m_form.SetModes(m_offers.modes);
    m_form.SetMenus(m_offers.menus);
    m_form.ForMenuEntry();
    const ActionParts parts = SplitAction(m_strAction);
    m_form.Show(parts, true, std::string(), !ActionProblem(parts).empty());
    const HWND hLabel = GetDlgItem(m_hWnd, IDC_ENTRY_LABEL);
    window_facts::SetText(hLabel, m_strLabel);
    SendMessageW(hLabel, EM_SETSEL, 0, -1);
    SetFocus(hLabel);
    // The focus is set here.
    return FALSE;
}

LRESULT CMenuEntryDlg::OnFormCommand(WPARAM wParam, LPARAM) {
    const int nId = LOWORD(wParam);
    const CActionForm::Event event = m_form.OnCommand(nId, HIWORD(wParam));
    if (event == CActionForm::Event::Changed || event == CActionForm::Event::ChosenFromList) {
        m_form.MarkProblem(
            !ActionProblem(m_form.Read(event == CActionForm::Event::ChosenFromList)).empty());
    }
    return 0;
}

void CMenuEntryDlg::OnOK() {
    const std::string strLabel = window_facts::GetText(GetDlgItem(m_hWnd, IDC_ENTRY_LABEL));
    const std::string strAction = JoinAction(m_form.Read(false));
    // Told here, with the entry still open to mend, rather than skipped by KV480.
    const std::string strProblem = CKeysEditorModel::MenuItemProblem(strLabel, strAction);
    if (!strProblem.empty()) {
        const std::string strText = "This entry cannot be used: " + strProblem + ".";
        framework::ShowMessageBox(m_hWnd, strText.c_str(), EDITOR_TITLE,
                                  MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    m_strLabel = strLabel;
    m_strAction = strAction;
    CDialog::OnOK();
}
