#include "CModeState.h"

#include "UnicodeText.h"

namespace {

std::string Named(const std::string& strMode) {
    return "Mode \"" + strMode + "\"";
}

} // namespace

std::string CModeState::Switch(const CKeyAction& action) {
    const std::string strWas = m_strMode;
    if (action.GetKind() != CKeyAction::Kind::Mode) {
        return std::string();
    }
    if (action.GetMode().empty() ||
        (!strWas.empty() && unicodetext::EqualFolded(strWas, action.GetMode()))) {
        m_strMode.clear();
        return strWas.empty() ? "Mode off" : Named(strWas) + " off";
    }
    m_strMode = action.GetMode();
    return Named(m_strMode) + " on";
}

std::string CModeState::TipLine() const {
    return m_strMode.empty() ? std::string() : Named(m_strMode) + " on";
}
