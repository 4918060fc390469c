// The way of one key event from the decoder to whoever takes it. Uses no
// operating-system service: the desktop (IKeyDesktop) tells what is there
// and carries out what the router decides; the clock runs the action
// engine's deadlines.
#pragma once

#include "CActionConfirmation.h"
#include "CDeadlineClock.h"
#include "CKeyActionEngine.h"
#include "CModeState.h"
#include "CRefusedPostNotice.h"
#include "IKeyDesktop.h"

#include <vector>

class CKeyRouter {
public:
    // The title of the warnings about the key maps and their actions.
    static constexpr const char* KEY_MAP_TITLE = "Remote Control - Key map";
    // Why an elevated KV480 leaves the user's own key map aside.
    static constexpr const char* ELEVATED_TEXT =
        "KV480 runs with administrator rights, so it does not use your own key map "
        "(%APPDATA%\\Remote Control\\KeyMap.ini), which any of your programs could change: "
        "only the installation folder's KeyMap.ini acts. Start KV480 without administrator "
        "rights to use your own.";

    CKeyRouter(IKeyDesktop& desktop, CDeadlineClock& clock);
    CKeyRouter(const CKeyRouter&) = delete;
    CKeyRouter& operator=(const CKeyRouter&) = delete;

    // A press (nRepeat NEW_PRESS) or a repeat, handed to everyone in turn.
    void KeyEvent(int nKey, int nRepeat);
    // The hold of nKey has ended.
    void KeyRelease(int nKey);

    // The one window that takes the key, else the key maps: the key-map
    // editor in front, then the receiving application's window.
    void DispatchKey(int nKey, int nRepeat);

private:
    using Window = IKeyDesktop::Window;

    // A post to a window was refused: tells the user once per window.
    void TellRefusedPost(Window target);
    // What the key maps name for the key in the window in front.
    void TypeMappedKey(int nKey, int nRepeat);
    // Carries out what the action engine decided and waits for its next time.
    void CarrySteps(const std::vector<CKeyActionEngine::Step>& steps);
    // Modes and the PC's own actions, which change KV480's state or the
    // PC's rather than the window in front; false when the step is neither.
    bool CarryOwnAction(const CKeyActionEngine::Step& step);
    // Whether Windows would drop the action without a word: nothing acts in
    // a locked session, and the input of a window running with more rights
    // than KV480 is refused (the user is told once per window).
    bool IsRefused(const CKeyAction& action);

    IKeyDesktop& m_desktop;
    CDeadlineClock& m_clock;
    CKeyActionEngine m_actionEngine;
    CDeadlineClock::Timer m_actionTimer;
    // The window that got the press of m_nPressKey, to which its release goes.
    Window m_pressTarget = 0;
    int m_nPressKey = 0;
    // Windows that refused a key and that the user has been told about.
    CRefusedPostNotice m_refusedPosts;
    // The mode that is on, asked before the key maps' other sections; and
    // the second press a shutdown waits for.
    CModeState m_modeState;
    CActionConfirmation m_confirmation;
    // Stands for the user's key map while KV480 is elevated.
    const CKeyMap m_noMap;
    bool m_bToldElevated = false;
};
