#include "CPresenterTools.h"

bool CPresenterTools::ToolOf(const CKeyAction& action, Tool& tool) {
    switch (action.GetKind()) {
    case CKeyAction::Kind::Spotlight:
        tool = SPOTLIGHT;
        return true;
    case CKeyAction::Kind::LaserDot:
        tool = LASER_DOT;
        return true;
    case CKeyAction::Kind::Magnifier:
        tool = MAGNIFIER;
        return true;
    case CKeyAction::Kind::BlankScreen:
        tool = BLANK_SCREEN;
        return true;
    case CKeyAction::Kind::Timer:
        tool = TIMER;
        return true;
    default:
        return false;
    }
}

bool CPresenterTools::Press(const CKeyAction& action) {
    Tool tool = SPOTLIGHT;
    if (!ToolOf(action, tool)) {
        return false;
    }
    // The other colour, or the same blank screen sent to another monitor.
    if (tool == BLANK_SCREEN && m_abOn[tool] &&
        (action.IsWhite() != m_bWhite || action.GetMonitor() != m_anMonitor[tool])) {
        m_bWhite = action.IsWhite();
        m_anMonitor[tool] = action.GetMonitor();
        return true;
    }
    m_abOn[tool] = !m_abOn[tool];
    if (m_abOn[tool]) {
        m_bWhite = tool == BLANK_SCREEN ? action.IsWhite() : m_bWhite;
        m_nTimerSeconds = tool == TIMER ? action.GetSeconds() : m_nTimerSeconds;
        m_anMonitor[tool] = action.GetMonitor();
    }
    return true;
}

void CPresenterTools::AllOff() {
    for (bool& bOn : m_abOn) {
        bOn = false;
    }
}

bool CPresenterTools::AnyOn() const {
    for (const bool bOn : m_abOn) {
        if (bOn) {
            return true;
        }
    }
    return false;
}
