#pragma once

#include "CKeyAction.h"

#include <string>

// Which mode of the key map is on, if any: switched by the Mode actions,
// kept until switched off or the program ends. Tells the texts that show it
// to the user. Uses no operating-system service.
class CModeState {
public:
    // Carries out a Mode action: "Mode \"X\"" switches X on, or off when X
    // is already on (names compare in any case); "Mode Off" switches any
    // mode off. Returns the note's text for what happened.
    std::string Switch(const CKeyAction& action);
    // Puts strMode on (empty: none) without a note: the on-screen menu's
    // steering mode, and the mode it leaves again.
    void Set(const std::string& strMode) { m_strMode = strMode; }

    // The mode that is on, as the action that switched it wrote it; empty
    // when none is.
    const std::string& GetMode() const { return m_strMode; }
    // The line the tray icon's tooltip adds while a mode is on; empty when
    // none is.
    std::string TipLine() const;

private:
    std::string m_strMode;
};
