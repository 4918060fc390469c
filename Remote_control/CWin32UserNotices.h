// What the key path tells the user on Windows: the on-screen note of what a
// key did, the mode in the tray icon's tooltip, and the tray's balloons.
#pragma once

#include "CActionNote.h"
#include "IUserNotices.h"

class CTrayIcon;

class CWin32UserNotices : public IUserNotices {
public:
    CWin32UserNotices(CTrayIcon& trayIcon, CDeadlineClock& clock)
        : m_trayIcon(trayIcon), m_actionNote(clock) {}
    CWin32UserNotices(const CWin32UserNotices&) = delete;
    CWin32UserNotices& operator=(const CWin32UserNotices&) = delete;

    bool ShowActionNote(const std::string& strText, bool bAlways, bool bKeyHeld) override;
    bool ShowCountdownNote(const CActionNoteTiming::Countdown& countdown) override;
    void NoteKeyReleased() override;
    void HideActionNote() override;
    void ShowMode(const std::string& strTipLine) override;
    bool ShowBalloon(const std::string& strTitle, const std::string& strText) override;

private:
    CTrayIcon& m_trayIcon;
    CActionNote m_actionNote;
};
