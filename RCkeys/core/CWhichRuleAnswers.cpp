#include "CWhichRuleAnswers.h"

#include "CKeyMapLayers.h"
#include "IniText.h"
#include "RemoteControl.h"

namespace {

// While a menu is open, KV480 drops what a section of no mode gives, but for
// the keys that open a menu or the keyboard (pressed again, they close it).
bool ActsInMenu(const CKeyMapLayers::Answer& answer) {
    const CKeyAction::Kind kind = answer.action.GetKind();
    return !answer.strMode.empty() || kind == CKeyAction::Kind::Menu ||
           kind == CKeyAction::Kind::Keyboard || kind == CKeyAction::Kind::MenuSteer;
}

} // namespace

CWhichRuleAnswers::CWhichRuleAnswers(const CKeyMapDocument& user, const CKeyMapDocument& installed,
                                     const unicodetext::AnsiToUtf8& ansiToUtf8, bool bUserRead)
    : m_bUserRead(bUserRead) {
    // Asked by KV480's own reader.
    const std::string strUser = user.Save();
    const std::string strInstalled = installed.Save();
    m_user.Parse(strUser.data(), strUser.size(), ansiToUtf8);
    m_installed.Parse(strInstalled.data(), strInstalled.size(), ansiToUtf8);
}

std::string CWhichRuleAnswers::Text(const CKeyMap::Window& window, const std::string& strMode,
                                    int nFirstKey, int nLastKey) const {
    const CKeyMapLayers layers(m_bUserRead ? m_user : m_none, m_installed, strMode);
    std::string strText = "Program: " + window.strProgram + "\r\nWindow class: " + window.strClass +
                          "\r\nWindow title: " + window.strCaption + "\r\n";
    if (!m_bUserRead) {
        strText += "KV480 runs with administrator rights: only the installation's key map "
                   "answers.\r\n";
    }
    const bool bMenu = initext::EqualsNoCase(initext::Trim(strMode), MENU_MODE);
    if (bMenu) {
        strText += "While a menu or the keyboard is open, keys the mode Menu leaves out do "
                   "nothing.\r\n";
    }
    strText += "\r\n";
    static const char* const FORMS[CKeyMap::FORM_COUNT] = {"", " long", " double"};
    for (int nKey = nFirstKey; nKey <= nLastKey; ++nKey) {
        CKeyMapLayers::KeyAnswers answers = layers.FindAll(window, nKey);
        bool bAnswered = false;
        for (CKeyMapLayers::Answer& answer : answers.forms) {
            if (bMenu && answer.IsFound() && !ActsInMenu(answer)) {
                answer = CKeyMapLayers::Answer();
            }
            bAnswered = bAnswered || answer.IsFound();
        }
        if (bMenu && !bAnswered && nKey >= RC_KEY_ZELMAR_F1 && nKey <= RC_KEY_ZELMAR_F6) {
            // The ZELMAR_OVI's F-keys pick the menu's first six entries.
            strText += "Key " + std::to_string(nKey) + ": picks the menu's entry " +
                       std::to_string(nKey - RC_KEY_ZELMAR_F1 + 1) +
                       "; nothing in the keyboard\r\n";
            continue;
        }
        for (int nForm = 0; nForm < CKeyMap::FORM_COUNT; ++nForm) {
            const CKeyMapLayers::Answer& answer = answers.forms[nForm];
            // The plain form is always listed; the others only where set.
            if (!answer.IsFound() && nForm != 0) {
                continue;
            }
            strText += "Key " + std::to_string(nKey) + FORMS[nForm] + ": ";
            if (!answer.IsFound()) {
                strText += bMenu ? "nothing while a menu is open\r\n" : "nothing\r\n";
                continue;
            }
            strText +=
                answer.action.Shown() + (answer.action.Repeats() ? " (repeats)" : "") + "  - " +
                (answer.layer == CKeyMapLayers::USER ? "yours" : "administrator's") + ", [" +
                answer.strSection + "]" +
                (answer.strMode.empty() ? std::string() : " of mode \"" + answer.strMode + "\"") +
                " line " + std::to_string(answer.nLine) + "\r\n";
        }
    }
    return strText;
}
