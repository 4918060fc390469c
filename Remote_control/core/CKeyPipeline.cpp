#include "CKeyPipeline.h"

CKeyPipeline::CKeyPipeline(CDeadlineClock& clock, IDesktopWindows& windows,
                           IDesktopEffects& effects, IUserNotices& notices,
                           IKeyEventSink& testDialog, IKeyEventSink& lirc)
    : m_router(windows, effects, notices, clock), m_testDialog(testDialog), m_lirc(lirc),
      m_decoder(*this, clock) {}

std::uint32_t CKeyPipeline::GetAddress() const {
    return (static_cast<std::uint32_t>(m_decoder.GetAddrHigh()) << 8) | m_decoder.GetAddrLow();
}

// The test dialog first, so that it shows the key at once, whatever the
// router's action costs; LIRC's clients last, as one more consumer.
void CKeyPipeline::OnKeyEvent(int nKey, int nRepeat) {
    m_testDialog.KeyEvent(nKey, nRepeat);
    m_router.KeyEvent(nKey, nRepeat);
    m_lirc.KeyEvent(nKey, nRepeat);
}

void CKeyPipeline::OnKeyRelease(int nKey) {
    m_testDialog.KeyRelease(nKey);
    m_router.KeyRelease(nKey);
    m_lirc.KeyRelease(nKey);
}
