#include "CWin32UserNotices.h"

#include "CTrayIcon.h"

#include <shellapi.h>

bool CWin32UserNotices::ShowActionNote(const std::string& strText, bool bAlways) {
    return m_actionNote.Show(strText, GetForegroundWindow(),
                             bAlways ? CActionNoteRule::Kind::MustBeSeen
                                     : CActionNoteRule::Kind::Ordinary);
}

void CWin32UserNotices::ShowMode(const std::string& strTipLine) {
    m_trayIcon.SetTipLine(strTipLine);
}

bool CWin32UserNotices::ShowBalloon(const std::string& strTitle, const std::string& strText) {
    return m_trayIcon.ShowBalloon(strTitle, strText, NIIF_WARNING);
}
