#include "CKeyPipeline.h"

CKeyPipeline::CKeyPipeline(CDeadlineClock& clock, IDesktopWindows& windows,
                           IDesktopEffects& effects, IUserNotices& notices,
                           IKeyEventSink& testDialog, IKeyEventSink& lirc)
    : m_router(windows, effects, notices, clock), m_consumers(testDialog, m_router, lirc),
      m_decoder(m_consumers, clock) {}

std::uint32_t CKeyPipeline::GetAddress() const {
    return (static_cast<std::uint32_t>(m_decoder.GetAddrHigh()) << 8) | m_decoder.GetAddrLow();
}
