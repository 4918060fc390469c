#pragma once

#include "CKeyAction.h"

// Which of the presenter's tools are on. Each is switched on by a press of
// its action and off by the next; the blank screen's other colour recolours
// it instead, and any timer's press stops a running timer.
class CPresenterTools {
public:
    enum Tool { SPOTLIGHT, LASER_DOT, MAGNIFIER, BLANK_SCREEN, TIMER, TOOL_COUNT };

    // False when the action is none of the tools.
    static bool ToolOf(const CKeyAction& action, Tool& tool);

    // Carries a press; false when the action is none of the tools.
    bool Press(const CKeyAction& action);
    void AllOff();
    // One tool off without a press: its monitor is gone.
    void Off(Tool tool) { m_abOn[tool] = false; }

    bool IsOn(Tool tool) const { return m_abOn[tool]; }
    bool AnyOn() const;
    bool IsWhite() const { return m_bWhite; }
    unsigned TimerSeconds() const { return m_nTimerSeconds; }
    // The monitor the pressed action named for the blank screen or the
    // timer, 1 for the first; 0 for the rule's choice.
    unsigned MonitorOf(Tool tool) const { return m_anMonitor[tool]; }
    // Whether an overlay on shows where the pointer is: moves must be followed.
    bool FollowsPointer() const {
        return m_abOn[SPOTLIGHT] || m_abOn[LASER_DOT] || m_abOn[MAGNIFIER];
    }
    // Whether an overlay on shows what changes under it (the lens, for a
    // video): redrawn on every frame, not just on moves.
    bool NeedsFrames() const { return m_abOn[MAGNIFIER]; }

private:
    bool m_abOn[TOOL_COUNT] = {};
    bool m_bWhite = false;
    unsigned m_nTimerSeconds = 0;
    unsigned m_anMonitor[TOOL_COUNT] = {};
};
