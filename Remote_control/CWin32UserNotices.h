// What the key path tells the user on Windows: the on-screen note of what a
// key did, the mode in the tray icon's tooltip (and to the editor, through
// the published state), and the tray's balloons.
#pragma once

#include "CActionNote.h"
#include "IUserNotices.h"

class CRunningState;
class CTrayIcon;

class CWin32UserNotices : public IUserNotices {
public:
    CWin32UserNotices(CTrayIcon& trayIcon, CDeadlineClock& clock, CRunningState& runningState)
        : m_trayIcon(trayIcon), m_runningState(runningState), m_actionNote(clock) {}
    CWin32UserNotices(const CWin32UserNotices&) = delete;
    CWin32UserNotices& operator=(const CWin32UserNotices&) = delete;

    bool ShowActionNote(const std::string& strText, bool bAlways, bool bKeyHeld) override;
    bool ShowCountdownNote(const CActionNoteTiming::Countdown& countdown) override;
    void NoteKeyReleased() override;
    void HideActionNote() override;
    void ShowMode(const std::string& strMode, const std::string& strTipLine) override;
    bool ShowBalloon(const std::string& strTitle, const std::string& strText) override;

private:
    CTrayIcon& m_trayIcon;
    CRunningState& m_runningState;
    CActionNote m_actionNote;
};
