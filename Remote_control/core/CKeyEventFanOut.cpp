#include "CKeyEventFanOut.h"

void CKeyEventFanOut::OnKeyEvent(int nKey, int nRepeat) {
    m_testDialog.KeyEvent(nKey, nRepeat);
    m_router.KeyEvent(nKey, nRepeat);
    m_lirc.KeyEvent(nKey, nRepeat);
}

void CKeyEventFanOut::OnKeyRelease(int nKey) {
    m_testDialog.KeyRelease(nKey);
    m_router.KeyRelease(nKey);
    m_lirc.KeyRelease(nKey);
}
