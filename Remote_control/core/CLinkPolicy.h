// The decisions of KV480's link to the receiver: what to do with the port
// after each thing that happens to it. Events go in, actions come out; the
// Win32 layer carries the actions out and reports the results back as events.
// The whole policy is the table in CLinkPolicy.cpp.
#pragma once

#include <cstdint>
#include <vector>

class CLinkPolicy {
public:
    enum class State {
        Idle,     // not started
        Starting, // the start-up attempts and their pauses
        Up,       // the port is open and read
        Down,     // wanted but closed: retried quietly, at once on any arrival
        Removing, // let go for a safe removal, waiting for its outcome
        Released, // not wanted: the machine sleeps or another session has the console
        Ended,
    };

    enum class Event {
        Start,
        OpenDone,    // the port opened and was set up
        OpenFailed,  // for any reason: absent, busy, set-up refused
        DataArrived, // the first bytes of a link: it works
        LinkGone,    // a read or wait failed as a vanished adapter's do
        LinkFault,   // any other read or wait failure
        Arrival,     // the port's broadcast, a COM interface arrival, devnodes changed
        PortRemoved,
        QueryRemove,       // for the open handle
        RemoveComplete,    // for the handle, also without a query first
        QueryRemoveFailed, // the removal was called off
        Suspend,
        Resume,
        ConsoleHere,
        ConsoleAway,
        ConsoleUnknown, // the console is between sessions
        StartPauseOver,
        RetryDue,
        RemovalWaitOver,
        ConsoleAskDue,
        End,
    };

    enum class Timer { StartPause, Retry, RemovalWait, ConsoleAsk };

    // The tray icon and balloon to show.
    enum class Notice {
        Ready,      // connected, no text
        Arrived,    // connected, "ready to use"
        CannotOpen, // the start-up attempts failed
        Removed,    // the device went
        Fault,      // the link failed otherwise
        QuietDown,  // let go on purpose: icon only
    };

    struct Action {
        enum class Kind {
            Open,           // start opening the port (at most one open runs)
            Adopt,          // take the opened port into use
            Discard,        // close the port just opened: no longer wanted
            Close,          // close the port and its removal notification
            CloseKeepWatch, // close the port, keep its removal notification
            Unwatch,        // end the removal notification kept so
            ArmTimer,
            KillTimer,
            Show,
            AskConsole, // read the console's session and report it
        };
        Kind kind;
        Timer timer = Timer::Retry;
        unsigned delayMs = 0;
        Notice notice = Notice::Ready;
    };

    static constexpr int START_ATTEMPTS = 5;
    static constexpr unsigned START_PAUSE_MS = 4000;
    static constexpr unsigned FIRST_RETRY_MS = 2000;
    static constexpr unsigned LONGEST_RETRY_MS = 30000;
    static constexpr unsigned REMOVAL_WAIT_MS = 30000;
    static constexpr unsigned CONSOLE_ASK_MS = 1000;
    // WTSGetActiveConsoleSessionId's answer while the console changes hands.
    static constexpr std::uint32_t NO_CONSOLE_SESSION = 0xFFFFFFFF;

    // bNoRetry: the configuration utility's restart, one start-up attempt.
    explicit CLinkPolicy(bool bNoRetry);

    std::vector<Action> OnEvent(Event event);

    // The event for a failure of the watch thread's calls with this error.
    static Event FailureEvent(std::uint32_t dwError);
    // The event for a read of the console's session.
    static Event ConsoleEvent(std::uint32_t dwOwnSession, std::uint32_t dwConsoleSession);

    State GetState() const { return m_state; }
    bool IsOpenInFlight() const { return m_bOpening; }
    // Another session has the console: what serves the user at it is let go.
    bool IsConsoleAway() const { return m_console == Console::Away; }

private:
    void Run(unsigned nSteps, std::vector<Action>& actions);
    bool IsWanted() const { return !m_bSuspended && m_console == Console::Here; }
    void Show(Notice notice, std::vector<Action>& actions);
    void Arm(Timer timer, unsigned delayMs, std::vector<Action>& actions);

    enum class Console { Unknown, Here, Away };

    State m_state = State::Idle;
    int m_nAttemptsLeft;
    unsigned m_nRetryDelayMs = FIRST_RETRY_MS;
    bool m_bSuspended = false;
    Console m_console = Console::Here;
    // The link was let go on purpose: its return is shown without a balloon.
    bool m_bQuiet = false;
    bool m_bOpening = false;
    // The open in flight was started for a link given up since.
    bool m_bOpenStale = false;
    // An open was asked for while one ran: made once that one ends.
    bool m_bOpenAgain = false;
    // Started while the console's session was unknown: goes on once known.
    bool m_bStartPending = false;
    enum class Shown { Nothing, Ready, NotReady };
    Shown m_shown = Shown::Nothing;
};
