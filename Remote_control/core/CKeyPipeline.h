// The way of the receiver's bytes to the key events' consumers: the frame
// decoder turns them into presses, repeats and releases, which go, in this
// order, to the test dialog, the router (which decides what each key does)
// and the LIRC stream. Uses no operating-system service: the bytes and their
// read times come from the link, every wait runs on the clock.
#pragma once

#include "CDeadlineClock.h"
#include "CFrameDecoder.h"
#include "CKeyEventFanOut.h"
#include "CKeyRouter.h"
#include "IKeyEventSink.h"

#include <cstddef>
#include <cstdint>

class CKeyPipeline {
public:
    CKeyPipeline(CDeadlineClock& clock, IDesktopWindows& windows, IDesktopEffects& effects,
                 IUserNotices& notices, IKeyEventSink& testDialog, IKeyEventSink& lirc);
    CKeyPipeline(const CKeyPipeline&) = delete;
    CKeyPipeline& operator=(const CKeyPipeline&) = delete;

    // The remote's address (CFrameDecoder::SetAddress), and as the decoder
    // took it: high byte in bits 8-15, low byte in bits 0-7.
    void SetAddress(std::uint32_t dwAddress) { m_decoder.SetAddress(dwAddress); }
    std::uint32_t GetAddress() const;

    // A chunk the link read at nReadTimeMs (the clock's time); may be empty.
    void Bytes(const std::uint8_t* pBytes, std::size_t nCount, std::uint64_t nReadTimeMs) {
        m_decoder.DecodeBytes(pBytes, nCount, nReadTimeMs);
    }

    // Ends a hold going on at once, for a program that shuts down: no
    // receiving application waits for its release for ever.
    void ReleaseNow() { m_decoder.ReleaseNow(); }

    CKeyRouter& Router() { return m_router; }

private:
    CKeyRouter m_router;
    CKeyEventFanOut m_consumers;
    // After the consumers, which its timers' callbacks reach.
    CFrameDecoder m_decoder;
};
