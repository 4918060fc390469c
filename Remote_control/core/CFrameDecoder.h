#pragma once

#include "CDeadlineClock.h"
#include "IFrameDecoderListener.h"
#include "RemoteControl.h"

#include <cstddef>
#include <cstdint>

// Turns the receiver's byte frames into key events. Knows both remote-control
// types at all times; uses no operating-system service: the owner hands in
// the bytes with their read time, and the decoder waits for its hold and
// release on the owner's clock.
//
// Times are milliseconds of the clock's monotonic time; only their
// differences matter.
class CFrameDecoder {
public:
    // Key numbers: VEKO keys first, then ZELMAR_OVI keys, without overlap.
    static constexpr int FIRST_KEY = RC_KEY_FIRST;
    static constexpr int LAST_KEY = RC_KEY_LAST;
    static constexpr int FIRST_VEKO_KEY = RC_KEY_VEKO_FIRST;
    static constexpr int LAST_VEKO_KEY = RC_KEY_VEKO_LAST;
    static constexpr int FIRST_ZELMAR_KEY = RC_KEY_ZELMAR_FIRST;
    static constexpr int LAST_ZELMAR_KEY = RC_KEY_ZELMAR_LAST;

    // Repeat flag of a key event.
    static constexpr int NEW_PRESS = 0;
    static constexpr int REPEAT = 1;

    // How long after a new press its repeats are held back.
    static constexpr unsigned int HOLD_TIME_MS = RC_HOLD_TIME_MS;
    // A hold ends this long after its last frame; a repeat frame that comes
    // later belongs to no hold. Receivers repeat about every 110 ms.
    static constexpr unsigned int RELEASE_TIME_MS = RC_RELEASE_TIME_MS;
    // A chunk read within this time of the previous one goes on with its frame:
    // USB adapters hand over bytes in packets, so a frame can come in two reads.
    static constexpr unsigned int CHUNK_JOIN_MS = 60;

    // Receiver of the decoder's outward calls, named by the owner.
    using Listener = IFrameDecoderListener;

    CFrameDecoder(Listener& listener, CDeadlineClock& clock);
    CFrameDecoder(const CFrameDecoder&) = delete;
    CFrameDecoder& operator=(const CFrameDecoder&) = delete;

    // Bits 0-7: low address byte, bits 8-15: high address byte; the rest is
    // ignored.
    void SetAddress(std::uint32_t dwAddress);

    // Decodes one chunk, read at nNowMs. A frame cut at the end of the chunk
    // goes on in the next one if that is read within CHUNK_JOIN_MS.
    void DecodeBytes(const std::uint8_t* pBytes, std::size_t nCount, std::uint64_t nNowMs);

    // The hold time is over: repeats are passed on again. Run by the hold
    // timer; public so that tests can end the hold time at will.
    void HoldExpired();

    // Ends the hold if its last frame is RELEASE_TIME_MS old at nNowMs, else
    // waits again. Run by the release timer.
    void ReleaseExpired(std::uint64_t nNowMs);

    // Ends a hold going on at once, for an owner that shuts down.
    void ReleaseNow();

    std::uint8_t GetAddrHigh() const { return m_byAddrHigh; }
    std::uint8_t GetAddrLow() const { return m_byAddrLow; }
    int GetLastKey() const { return m_nLastKey; }
    int GetLastToggle() const { return m_nLastToggle; }
    bool IsHold() const { return m_bHold; }
    // The key whose hold is going on; 0 when none.
    int GetHeldKey() const { return m_nHeldKey; }

private:
    // Position within a frame: which byte is expected next.
    enum class State {
        BetweenFrames, // S0
        VekoHigh,      // S1: high address byte seen
        VekoAddress,   // S2: both address bytes seen
        RepeatOne,     // S3: one 0xAA seen
        RepeatTwo,     // S4: two 0xAA seen
        ZelmarLead,    // S5: lead byte seen
        ZelmarSame,    // S6: our address, toggle unchanged (maybe a held key)
        ZelmarChanged, // S7: our address, toggle changed (new press)
    };

    void DecodeByte(std::uint8_t b, std::uint64_t nNowMs);
    // Whether a repeat frame at nNowMs continues the hold of nKey.
    bool ContinuesHold(int nKey, std::uint64_t nNowMs) const;
    // A repeat frame of the hold: passed on once the hold time is over.
    void RepeatFrame(std::uint64_t nNowMs);
    void NewPress(int nKey, std::uint64_t nNowMs);
    void EndHold();

    Listener& m_listener;
    CDeadlineClock& m_clock;
    CDeadlineClock::Timer m_holdTimer;
    CDeadlineClock::Timer m_releaseTimer;
    std::uint8_t m_byAddrHigh = 0;
    std::uint8_t m_byAddrLow = 0;
    int m_nLastKey = -1;              // last accepted VEKO key; -1: none since start
    int m_nLastToggle = -1;           // toggle bit of the last ZELMAR_OVI frame with our address
    bool m_bHold = false;             // set by a new press until the hold time is over
    int m_nHeldKey = 0;               // key of the hold going on; 0: none
    std::uint64_t m_nHoldFrameMs = 0; // last frame of that hold, dropped ones too
    State m_state = State::BetweenFrames;
    bool m_bHaveChunk = false;
    std::uint64_t m_nChunkMs = 0; // when the previous chunk was read
};
