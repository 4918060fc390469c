#include "CWin32UserNotices.h"

#include "CRunningState.h"
#include "CTrayIcon.h"

#include <shellapi.h>

bool CWin32UserNotices::ShowActionNote(const std::string& strText, bool bAlways, bool bKeyHeld) {
    return m_actionNote.Show(
        strText, GetForegroundWindow(),
        bAlways ? CActionNoteRule::Kind::MustBeSeen : CActionNoteRule::Kind::Ordinary, bKeyHeld);
}

bool CWin32UserNotices::ShowCountdownNote(const CActionNoteTiming::Countdown& countdown) {
    return m_actionNote.ShowCountdown(countdown, GetForegroundWindow());
}

void CWin32UserNotices::NoteKeyReleased() {
    m_actionNote.KeyReleased();
}

void CWin32UserNotices::HideActionNote() {
    m_actionNote.HideNote();
}

void CWin32UserNotices::ShowMode(const std::string& strMode, const std::string& strTipLine) {
    m_trayIcon.SetTipLine(strTipLine);
    m_runningState.PublishMode(strMode);
}

bool CWin32UserNotices::ShowBalloon(const std::string& strTitle, const std::string& strText) {
    return m_trayIcon.ShowBalloon(strTitle, strText, NIIF_WARNING);
}
