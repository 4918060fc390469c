// What "Which rule answers here" shows for a window: for every key of the
// remote and each form set, what acts and which file and section say so,
// asked as the running KV480 asks: with the key maps it reads (only the
// installation's when it runs as administrator) and the mode that is on.
#pragma once

#include "CKeyMap.h"
#include "CKeyMapDocument.h"
#include "UnicodeText.h"

#include <string>

class CWhichRuleAnswers {
public:
    // The maps as the editor holds them now. bUserRead: KV480 reads the
    // user's map.
    CWhichRuleAnswers(const CKeyMapDocument& user, const CKeyMapDocument& installed,
                      const unicodetext::AnsiToUtf8& ansiToUtf8, bool bUserRead);

    // The answers for the keys nFirstKey to nLastKey in the window, with the
    // mode strMode on (empty: none), one line each after the window's facts.
    std::string Text(const CKeyMap::Window& window, const std::string& strMode, int nFirstKey,
                     int nLastKey) const;

    // The first choice of the list of modes.
    static constexpr const char* NO_MODE = "No mode";
    // The mode KV480 switches on while its on-screen menu or keyboard is
    // open: only what its sections give acts then, besides the keys that
    // open or close a menu.
    static constexpr const char* MENU_MODE = "Menu";

private:
    CKeyMap m_user;
    CKeyMap m_installed;
    CKeyMap m_none;
    bool m_bUserRead;
};
