#include "CMouseHookWatch.h"

void CMouseHookWatch::Hooked(Point point) {
    m_last = point;
    m_bKnown = true;
    m_bHookedSinceLook = true;
}

void CMouseHookWatch::PutBy(Point point) {
    m_last = point;
    m_bKnown = true;
}

bool CMouseHookWatch::Lost(Point point) {
    // The pointer may lag the hook's last report a little: a look after
    // hooked moves only starts the next comparison.
    const bool bLost =
        m_bKnown && !m_bHookedSinceLook && (point.x != m_last.x || point.y != m_last.y);
    m_last = point;
    m_bKnown = true;
    m_bHookedSinceLook = false;
    return bLost;
}
