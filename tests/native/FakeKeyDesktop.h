// A desktop for native tests of the key path, in its three roles: windows,
// effects and what the user is told. Windows are numbers with the facts a
// test gives them; what the router asks of the desktop is written to `log`
// in order, and the carrier each action went to to `carriers`. It also plays rules of Windows that
// Wine does not enforce: the foreground lock, posts and input refused by a window of higher
// integrity, a locked session; and it reports hung, cloaked and tool windows as such.
#pragma once

#include "IDesktopEffects.h"
#include "IDesktopWindows.h"
#include "IUserNotices.h"

#include <map>
#include <string>
#include <vector>

class FakeKeyDesktop : public IDesktopWindows, public IDesktopEffects, public IUserNotices {
public:
    // Mandatory integrity levels, as Windows numbers them.
    enum Integrity { LOW = 0x1000, MEDIUM = 0x2000, HIGH = 0x3000 };
    static constexpr std::uint32_t OWN_PROCESS = 1;

    struct FakeWindow {
        std::string strClass;
        std::string strCaption;
        std::string strProgram; // file name, "app.exe"
        std::uint32_t nProcess = 100;
        int nIntegrity = MEDIUM;
        bool bHung = false;
        bool bCloaked = false;
        bool bToolWindow = false;
    };

    // The desktop as the test sets it.
    std::map<Window, FakeWindow> windows;
    Window foreground = 0;
    Window keysEditor = 0; // takes keys while it is the foreground
    Window receiving = 0;
    Window pointer = 0; // the window under the pointer
    int nOwnIntegrity = MEDIUM;
    // Windows' foreground lock: a background program may not bring a window
    // forward.
    bool bForegroundLocked = false;
    bool bSessionLocked = false;
    bool bTrayIcon = true;          // balloons can be shown
    bool bNotesWanted = true;       // the user's choice of the on-screen note
    bool bNotesShown = true;        // false: the screen can show no note nor menu
    std::string strPcRefusal;       // Windows' reason to refuse the PC's actions
    bool bReleaseRegistered = true; // the release's message number exists
    std::string strStartFailure;    // what a program start reports
    CKeyMap userMap;
    CKeyMap installedMap;
    MenuSettings menuSettings;

    // The last note was shown while its key was held, and it is still so.
    bool bNoteWaitsForRelease = false;

    std::vector<std::string> log;
    // "keys", "text", "button", "pointer", "run", "overlay", "pc", "mode",
    // "menu".
    std::vector<std::string> carriers;
    mutable int nProgramReads = 0;

    static void SetMap(CKeyMap& map, const std::string& strText) {
        map.Parse(strText.data(), strText.size());
    }

    PostResult Post(Window window, Message message, int nKey, int nRepeat) override {
        static const char* const names[] = {"key", "release"};
        log.push_back(std::string(names[static_cast<int>(message)]) + " " + std::to_string(nKey) +
                      " " + std::to_string(nRepeat) + " to " + std::to_string(window));
        if (windows.count(window) == 0 || (message == Message::Release && !bReleaseRegistered)) {
            return PostResult::Failed;
        }
        // User interface privilege isolation.
        return windows[window].nIntegrity > nOwnIntegrity ? PostResult::Refused
                                                          : PostResult::Posted;
    }

    Window KeysEditorInFront() const override {
        return keysEditor != 0 && keysEditor == foreground ? keysEditor : 0;
    }
    Window ReceivingWindow() const override { return receiving; }
    Window Foreground() const override { return foreground; }
    Window UnderPointer() const override { return pointer; }

    WindowFacts FactsOf(Window window) const override {
        WindowFacts facts;
        const auto found = windows.find(window);
        if (found == windows.end()) {
            return facts;
        }
        const FakeWindow& w = found->second;
        facts.nProcess = w.nProcess;
        facts.bOwnProcess = w.nProcess == OWN_PROCESS;
        facts.strClass = w.strClass;
        facts.strCaption = w.strCaption;
        facts.bHigherIntegrity = w.nIntegrity > nOwnIntegrity;
        facts.bHung = w.bHung;
        facts.bCloaked = w.bCloaked;
        facts.bToolWindow = w.bToolWindow;
        return facts;
    }
    std::string ProgramOf(Window window) const override {
        ++nProgramReads;
        const auto found = windows.find(window);
        return found == windows.end() ? std::string() : found->second.strProgram;
    }
    bool IsSessionLocked() const override { return bSessionLocked; }
    bool IsElevated() const override { return nOwnIntegrity >= HIGH; }

    CKeyMapLayers KeyMaps(const std::string& strMode) override {
        return CKeyMapLayers(userMap, installedMap, strMode);
    }

    bool SendKeys(const CKeyAction& action) override { return Input("keys", action, foreground); }
    bool SendText(const CKeyAction& action) override { return Input("text", action, foreground); }
    bool PressMouse(const CKeyAction& action) override { return Input("button", action, pointer); }
    void MoveMouse(const CKeyAction& action, std::uint64_t) override {
        Input("pointer", action, 0);
    }
    Outcome Run(const CKeyActionEngine::Step& step) override {
        carriers.push_back("run");
        const Outcome outcome = RunProgram(step.answer.action.GetText());
        log.push_back(std::string(outcome.bCarried ? "carry " : "refused ") +
                      step.answer.action.Shown());
        return outcome;
    }
    void ShowOverlay(const CKeyAction& action) override {
        carriers.push_back("overlay");
        log.push_back("overlay " + action.Shown());
    }

    MenuSettings ReadMenuSettings() override { return menuSettings; }
    bool ShowMenu(const CMenuModel& menu) override {
        carriers.push_back("menu");
        log.push_back("menu " + menu.Title() + ": " + menu.WindowText());
        return bNotesShown;
    }
    void HideMenu() override { log.push_back("menu hidden"); }

    bool ShowActionNote(const std::string& strText, bool bAlways, bool bKeyHeld) override {
        if (!bNotesShown || (!bAlways && !bNotesWanted))
            return false;
        log.push_back("note " + strText);
        bNoteWaitsForRelease = bKeyHeld;
        return true;
    }
    bool ShowCountdownNote(const CActionNoteTiming::Countdown& countdown) override {
        if (!bNotesShown)
            return false;
        log.push_back("note " + countdown.strBefore + std::to_string(countdown.nWindowMs / 1000) +
                      countdown.strAfter);
        bNoteWaitsForRelease = false;
        return true;
    }
    void NoteKeyReleased() override { bNoteWaitsForRelease = false; }
    void HideActionNote() override { log.push_back("hide note"); }
    void ShowMode(const std::string&, const std::string& strTipLine) override {
        carriers.push_back("mode");
        log.push_back("tip " + strTipLine);
    }
    bool StartPcAction(CKeyAction::Pc pc, std::string& strRefusal) override {
        carriers.push_back("pc");
        log.push_back(std::string("pc ") + CKeyAction::PcName(pc));
        strRefusal = strPcRefusal;
        return strPcRefusal.empty();
    }
    bool ShowBalloon(const std::string& strTitle, const std::string& strText) override {
        log.push_back("balloon " + strTitle + ": " + strText);
        return bTrayIcon;
    }

private:
    // Input goes to the target window unless Windows stops it.
    bool Input(const char* pszCarrier, const CKeyAction& action, Window target) {
        carriers.push_back(pszCarrier);
        const auto found = windows.find(target);
        const bool bCarried = !bSessionLocked &&
                              (found == windows.end() || found->second.nIntegrity <= nOwnIntegrity);
        log.push_back(std::string(bCarried ? "carry " : "refused ") + action.Shown());
        return bCarried;
    }

    // A program's window is brought forward, else the program started.
    Outcome RunProgram(const std::string& strProgram) {
        Outcome outcome;
        const std::string strName = strProgram.substr(strProgram.find_last_of("\\/") + 1);
        for (const auto& [window, facts] : windows) {
            if (facts.strProgram == strName && facts.nProcess != OWN_PROCESS) {
                outcome.bCarried = !bForegroundLocked;
                if (outcome.bCarried) {
                    foreground = window;
                }
                return outcome;
            }
        }
        outcome.bCarried = strStartFailure.empty();
        outcome.strWarning = strStartFailure;
        return outcome;
    }
};
