#include "CModeState.h"

#include "UnicodeText.h"

namespace {

bool SameName(const std::string& strA, const std::string& strB) {
    std::u32string a = unicodetext::CodePoints(strA);
    std::u32string b = unicodetext::CodePoints(strB);
    for (std::u32string* pText : {&a, &b}) {
        for (char32_t& c : *pText) {
            c = unicodetext::FoldCase(c);
        }
    }
    return a == b;
}

std::string Named(const std::string& strMode) {
    return "Mode \"" + strMode + "\"";
}

} // namespace

std::string CModeState::Switch(const CKeyAction& action) {
    const std::string strWas = m_strMode;
    if (action.GetKind() != CKeyAction::Kind::Mode) {
        return std::string();
    }
    if (action.GetMode().empty() || (!strWas.empty() && SameName(strWas, action.GetMode()))) {
        m_strMode.clear();
        return strWas.empty() ? "Mode off" : Named(strWas) + " off";
    }
    m_strMode = action.GetMode();
    return Named(m_strMode) + " on";
}

std::string CModeState::TipLine() const {
    return m_strMode.empty() ? std::string() : Named(m_strMode) + " on";
}
