// What the key path changes on the PC: the carriers of the key maps'
// actions, one per kind of effect, and the key maps themselves. CKeyRouter
// decides which carrier an action goes to; an implementation carries it out
// on Windows (CWin32DesktopEffects) or in a test.
#pragma once

#include "CKeyActionEngine.h"
#include "CKeyMapLayers.h"
#include "CMenuModel.h"

#include <cstdint>
#include <string>

class IDesktopEffects {
public:
    // What became of a program's start.
    struct Outcome {
        // False when the desktop did not let it happen (the foreground not
        // given up, the program not started).
        bool bCarried = true;
        // What the user must be told (a program that cannot be started);
        // empty when there is nothing to tell.
        std::string strWarning;
    };
    // What the on-screen menu takes from the user's settings and the window
    // in front when it opens.
    struct MenuSettings {
        std::uint64_t nTimeoutMs = CMenuModel::DEFAULT_TIMEOUT_MS; // 0: none
        unsigned nKeyboardScanMs = 0;                              // 0: no scanning
        COnScreenKeyboard::Layout layout = COnScreenKeyboard::UsEnglish();
    };

    // The user's key maps as they stand, read again where a file changed,
    // asked as while strMode is on (empty: no mode).
    virtual CKeyMapLayers KeyMaps(const std::string& strMode) = 0;

    // Input to the window in front (keys, text) or under the pointer (a
    // button, the wheel); false when Windows blocked it.
    virtual bool SendKeys(const CKeyAction& action) = 0;
    virtual bool SendText(const CKeyAction& action) = 0;
    virtual bool PressMouse(const CKeyAction& action) = 0;
    // The pointer, by a step that grows while the key is held.
    virtual void MoveMouse(const CKeyAction& action, std::uint64_t nHeldMs) = 0;
    // Brings the step's program forward, or starts it.
    virtual Outcome Run(const CKeyActionEngine::Step& step) = 0;
    // One of the presenter's tools, on KV480's own overlays.
    virtual void ShowOverlay(const CKeyAction& action) = 0;
    // Starts one of the PC's own actions; false with Windows' reason when it
    // was refused at once (a later refusal is told by the desktop itself).
    virtual bool StartPcAction(CKeyAction::Pc pc, std::string& strRefusal) = 0;
    // The on-screen menu or keyboard: read as it opens, drawn as menu shows
    // it now (on top, never taking the focus; false when it cannot be shown),
    // hidden once it closed.
    virtual MenuSettings ReadMenuSettings() = 0;
    virtual bool ShowMenu(const CMenuModel& menu) = 0;
    virtual void HideMenu() = 0;

protected:
    ~IDesktopEffects() = default;
};
