#pragma once

#include <cstdint>
#include <functional>
#include <vector>

// One clock for every part of KV480 that waits for a time: the frame
// decoder's hold and release, the action engine's long and double presses,
// the link's pauses and retries, the overlays' frames and talk timer, the
// test dialog's lamps, the retried LIRC warning. Each part owns Timers;
// the clock keeps their deadlines, and its owner runs one operating-system
// timer set to the earliest of them (SetChangeListener), calling RunDue when
// it fires. Times are milliseconds of a monotonic clock read through the
// function given at construction, so tests drive it by hand.
class CDeadlineClock {
public:
    using NowFunction = std::function<std::uint64_t()>;
    using Callback = std::function<void()>;

    // A deadline of its owner's. Set again, it replaces its previous deadline;
    // its callback runs once per deadline reached, on the clock owner's thread.
    class Timer {
    public:
        Timer(CDeadlineClock& clock, Callback callback);
        ~Timer();
        Timer(const Timer&) = delete;
        Timer& operator=(const Timer&) = delete;

        void SetAt(std::uint64_t nDueMs);
        void SetAfter(std::uint64_t nDelayMs);
        void Cancel();
        bool IsSet() const { return m_bSet; }
        std::uint64_t DueMs() const { return m_nDueMs; }

    private:
        friend class CDeadlineClock;
        CDeadlineClock& m_clock;
        Callback m_callback;
        bool m_bSet = false;
        std::uint64_t m_nDueMs = 0;
        // Orders timers of one due time by when they were set.
        std::uint64_t m_nSequence = 0;
    };

    explicit CDeadlineClock(NowFunction now);
    CDeadlineClock(const CDeadlineClock&) = delete;
    CDeadlineClock& operator=(const CDeadlineClock&) = delete;

    std::uint64_t Now() const { return m_now(); }

    // The earliest deadline of all set timers; false when none is set.
    bool NextDeadline(std::uint64_t& nDueMs) const;

    // Runs the callback of every timer due by Now(), earliest first (by the
    // order they were set when due at the same time). A timer that a callback
    // sets again runs at the next call, even when already due then.
    void RunDue();

    // Told whenever the earliest deadline may have changed (outside RunDue,
    // which tells once at its end), so the owner re-arms its one timer.
    void SetChangeListener(Callback listener) { m_changed = std::move(listener); }

private:
    void Add(Timer& timer);
    void Remove(Timer& timer);
    void Changed();

    NowFunction m_now;
    Callback m_changed;
    std::vector<Timer*> m_timers;
    std::uint64_t m_nNextSequence = 0;
    bool m_bRunning = false;
};
