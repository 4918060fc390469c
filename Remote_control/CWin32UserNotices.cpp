#include "CWin32UserNotices.h"

#include "CRunningState.h"
#include "CTrayIcon.h"

#include <shellapi.h>

void CWin32UserNotices::ShowActionNote(const std::string& strText, bool bAlways) {
    if (bAlways || CActionNote::IsWanted()) {
        m_actionNote.Show(strText, GetForegroundWindow());
    }
}

void CWin32UserNotices::ShowMode(const std::string& strMode, const std::string& strTipLine) {
    m_trayIcon.SetTipLine(strTipLine);
    m_runningState.PublishMode(strMode);
}

bool CWin32UserNotices::ShowBalloon(const std::string& strTitle, const std::string& strText) {
    return m_trayIcon.ShowBalloon(strTitle, strText, NIIF_WARNING);
}
