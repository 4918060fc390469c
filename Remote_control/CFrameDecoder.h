#pragma once

#include <cstddef>
#include <cstdint>

// Turns the receiver's byte frames into key events. Knows both remote-control
// types at all times; uses no operating-system service, so the owner binds the
// outward calls to its window messages and timer.
class CFrameDecoder {
public:
    // Key numbers: VEKO keys first, then ZELMAR_OVI keys, without overlap.
    static constexpr int FIRST_KEY = 1;
    static constexpr int LAST_KEY = 23;
    static constexpr int FIRST_VEKO_KEY = 1;
    static constexpr int LAST_VEKO_KEY = 6;
    static constexpr int FIRST_ZELMAR_KEY = 7;
    static constexpr int LAST_ZELMAR_KEY = 23;

    // Repeat flag of a key event.
    static constexpr int NEW_PRESS = 0;
    static constexpr int REPEAT = 1;

    // The hold timer the owner runs for StartHoldTimer.
    static constexpr unsigned int HOLD_TIMER_ID = 0;
    static constexpr unsigned int HOLD_TIME_MS = 500;

    // Receiver of the decoder's outward calls; implemented by the owner.
    class Listener {
    public:
        // A key event: nRepeat is NEW_PRESS or REPEAT.
        virtual void OnKeyEvent(int nKey, int nRepeat) = 0;
        // Start the one-shot hold timer, replacing a running one; the owner
        // calls HoldExpired when it fires.
        virtual void StartHoldTimer() = 0;

    protected:
        virtual ~Listener() = default;
    };

    explicit CFrameDecoder(Listener& listener);
    CFrameDecoder(const CFrameDecoder&) = delete;
    CFrameDecoder& operator=(const CFrameDecoder&) = delete;

    // Bits 0-7: low address byte, bits 8-15: high address byte; the rest is
    // ignored.
    void SetAddress(std::uint32_t dwAddress);

    // Decodes one chunk completely. A frame split across chunks is not
    // recognised: every chunk starts between frames.
    void DecodeBytes(const std::uint8_t* pBytes, std::size_t nCount);

    // The hold timer has fired: repeats are passed on again.
    void HoldExpired();

    std::uint8_t GetAddrHigh() const { return m_byAddrHigh; }
    std::uint8_t GetAddrLow() const { return m_byAddrLow; }
    int GetLastKey() const { return m_nLastKey; }
    int GetLastToggle() const { return m_nLastToggle; }
    int IsHold() const { return m_bHold; }

private:
    void NewPress(int nKey);
    void Repeat(int nKey);

    Listener& m_listener;
    std::uint8_t m_byAddrHigh = 0;
    std::uint8_t m_byAddrLow = 0;
    int m_nLastKey = -1;    // last accepted VEKO key; -1: none since start
    int m_nLastToggle = -1; // toggle bit of the last ZELMAR_OVI frame with our address
    int m_bHold = 0;        // set by a new press until the hold timer fires
};
