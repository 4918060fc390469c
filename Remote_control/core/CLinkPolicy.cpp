#include "CLinkPolicy.h"

#include "ClassifyLinkError.h"

#include <iterator>

namespace {

using State = CLinkPolicy::State;
using Event = CLinkPolicy::Event;

// What a row does, in this order.
enum Step : unsigned {
    CLOSE = 1u << 0,            // close the port and its removal notification
    CLOSE_KEEP_WATCH = 1u << 1, // close the port, keep the notification
    UNWATCH = 1u << 2,          // end the kept notification
    KILL_TIMERS = 1u << 3,
    SHOW_READY = 1u << 4,   // start-up success: icon, no text
    SHOW_ARRIVED = 1u << 5, // "ready to use", or icon only after a release
    SHOW_CANNOT_OPEN = 1u << 6,
    SHOW_REMOVED = 1u << 7,
    SHOW_FAULT = 1u << 8,
    SHOW_QUIET_DOWN = 1u << 9, // icon only; the return is quiet too
    FIRST_DELAY = 1u << 10,    // the quiet retry starts again at its shortest
    ARM_START_PAUSE = 1u << 11,
    ARM_RETRY = 1u << 12, // after the current delay, which then grows
    ARM_REMOVAL_WAIT = 1u << 13,
    OPEN = 1u << 14, // one more start-up attempt when Starting
    ADOPT = 1u << 15,
};

enum class Guard {
    Always,
    AttemptsLeft, // of the start-up
    NoAttemptsLeft,
    Wanted, // not asleep and this session has the console
    NotWanted,
};

struct Row {
    State state;
    Event event;
    Guard guard;
    unsigned steps;
    State next;
};

// The policy. A state/event pair without a row changes nothing. Suspend,
// resume and the console events update what is wanted before the row is
// looked up; an open's result for a link given up since is closed unseen.
constexpr Row TABLE[] = {
    {State::Idle, Event::Start, Guard::Wanted, OPEN, State::Starting},
    {State::Idle, Event::Start, Guard::NotWanted, SHOW_QUIET_DOWN, State::Released},

    {State::Starting, Event::OpenDone, Guard::Always, KILL_TIMERS | ADOPT | SHOW_READY, State::Up},
    {State::Starting, Event::OpenFailed, Guard::AttemptsLeft, ARM_START_PAUSE, State::Starting},
    {State::Starting, Event::OpenFailed, Guard::NoAttemptsLeft, SHOW_CANNOT_OPEN | ARM_RETRY,
     State::Down},
    {State::Starting, Event::StartPauseOver, Guard::Always, OPEN, State::Starting},
    {State::Starting, Event::Arrival, Guard::Always, KILL_TIMERS | FIRST_DELAY | OPEN, State::Down},
    {State::Starting, Event::Suspend, Guard::Always, KILL_TIMERS, State::Released},
    {State::Starting, Event::ConsoleAway, Guard::Always, KILL_TIMERS, State::Released},

    // Only a link that worked starts the retry short again: one that fails
    // at once each time (a driver without comm events) is tried less often.
    {State::Up, Event::DataArrived, Guard::Always, FIRST_DELAY, State::Up},
    {State::Up, Event::LinkGone, Guard::Always, CLOSE | SHOW_REMOVED | ARM_RETRY, State::Down},
    {State::Up, Event::LinkFault, Guard::Always, CLOSE | SHOW_FAULT | ARM_RETRY, State::Down},
    {State::Up, Event::PortRemoved, Guard::Always, CLOSE | SHOW_REMOVED | ARM_RETRY, State::Down},
    {State::Up, Event::RemoveComplete, Guard::Always, CLOSE | SHOW_REMOVED | ARM_RETRY,
     State::Down},
    // Windows wants the handle gone and the notification kept until it is
    // told how the removal ended.
    {State::Up, Event::QueryRemove, Guard::Always,
     CLOSE_KEEP_WATCH | SHOW_REMOVED | ARM_REMOVAL_WAIT, State::Removing},
    {State::Up, Event::Suspend, Guard::Always, CLOSE | SHOW_QUIET_DOWN, State::Released},
    {State::Up, Event::ConsoleAway, Guard::Always, CLOSE | SHOW_QUIET_DOWN, State::Released},

    {State::Down, Event::RetryDue, Guard::Always, OPEN, State::Down},
    {State::Down, Event::OpenDone, Guard::Always, KILL_TIMERS | ADOPT | SHOW_ARRIVED, State::Up},
    {State::Down, Event::OpenFailed, Guard::Always, ARM_RETRY, State::Down},
    {State::Down, Event::Arrival, Guard::Always, KILL_TIMERS | FIRST_DELAY | OPEN, State::Down},
    {State::Down, Event::Suspend, Guard::Always, KILL_TIMERS, State::Released},
    {State::Down, Event::ConsoleAway, Guard::Always, KILL_TIMERS, State::Released},

    {State::Removing, Event::RemoveComplete, Guard::Always, UNWATCH | KILL_TIMERS | ARM_RETRY,
     State::Down},
    {State::Removing, Event::PortRemoved, Guard::Always, UNWATCH | KILL_TIMERS | ARM_RETRY,
     State::Down},
    {State::Removing, Event::QueryRemoveFailed, Guard::Always, UNWATCH | KILL_TIMERS | OPEN,
     State::Down},
    // No word on the removal: take it as called off.
    {State::Removing, Event::RemovalWaitOver, Guard::Always, UNWATCH | OPEN, State::Down},
    {State::Removing, Event::Arrival, Guard::Always, UNWATCH | KILL_TIMERS | OPEN, State::Down},
    {State::Removing, Event::Suspend, Guard::Always, UNWATCH | KILL_TIMERS, State::Released},
    {State::Removing, Event::ConsoleAway, Guard::Always, UNWATCH | KILL_TIMERS, State::Released},

    {State::Released, Event::Resume, Guard::Wanted, FIRST_DELAY | OPEN, State::Down},
    {State::Released, Event::ConsoleHere, Guard::Wanted, FIRST_DELAY | OPEN, State::Down},

    {State::Starting, Event::End, Guard::Always, KILL_TIMERS, State::Ended},
    {State::Up, Event::End, Guard::Always, KILL_TIMERS | CLOSE, State::Ended},
    {State::Down, Event::End, Guard::Always, KILL_TIMERS, State::Ended},
    {State::Removing, Event::End, Guard::Always, KILL_TIMERS | UNWATCH, State::Ended},
    {State::Released, Event::End, Guard::Always, KILL_TIMERS, State::Ended},
    {State::Idle, Event::End, Guard::Always, 0, State::Ended},
};

using Kind = CLinkPolicy::Action::Kind;

CLinkPolicy::Action Simple(Kind kind) {
    CLinkPolicy::Action action{};
    action.kind = kind;
    return action;
}

} // namespace

CLinkPolicy::CLinkPolicy(bool bNoRetry) : m_nAttemptsLeft(bNoRetry ? 1 : START_ATTEMPTS) {}

CLinkPolicy::Event CLinkPolicy::FailureEvent(std::uint32_t dwError) {
    return ClassifyLinkError(dwError) == LinkError::DeviceGone ? Event::LinkGone : Event::LinkFault;
}

CLinkPolicy::Event CLinkPolicy::ConsoleEvent(std::uint32_t dwOwnSession,
                                             std::uint32_t dwConsoleSession) {
    if (dwConsoleSession == NO_CONSOLE_SESSION) {
        return Event::ConsoleUnknown;
    }
    return dwConsoleSession == dwOwnSession ? Event::ConsoleHere : Event::ConsoleAway;
}

std::vector<CLinkPolicy::Action> CLinkPolicy::OnEvent(Event event) {
    std::vector<Action> actions;
    switch (event) {
    case Event::Suspend:
        m_bSuspended = true;
        break;
    case Event::Resume:
        m_bSuspended = false;
        break;
    case Event::ConsoleHere:
        m_console = Console::Here;
        break;
    case Event::ConsoleAway:
        m_console = Console::Away;
        break;
    case Event::ConsoleUnknown:
        // Known again in a moment; until then what was known stands, and a
        // start waits for the answer.
        if (m_state == State::Idle) {
            m_console = Console::Unknown;
        }
        Arm(Timer::ConsoleAsk, CONSOLE_ASK_MS, actions);
        break;
    case Event::ConsoleAskDue:
        actions.push_back(Simple(Kind::AskConsole));
        return actions;
    case Event::OpenDone:
    case Event::OpenFailed:
        m_bOpening = false;
        if (m_bOpenStale) {
            m_bOpenStale = false;
            if (event == Event::OpenDone) {
                actions.push_back(Simple(Kind::Discard));
            }
            if (m_bOpenAgain) {
                m_bOpenAgain = false;
                Run(OPEN, actions);
            }
            return actions;
        }
        if (m_bOpenAgain) {
            m_bOpenAgain = false;
            if (event == Event::OpenFailed) {
                // An arrival came while this open ran: the device may be
                // ready now.
                Run(OPEN, actions);
                return actions;
            }
        }
        break;
    default:
        break;
    }

    const bool bConsoleKnown = event == Event::ConsoleHere || event == Event::ConsoleAway;
    if (m_state == State::Idle && (event == Event::Start || (m_bStartPending && bConsoleKnown))) {
        m_bStartPending = m_console == Console::Unknown;
        if (m_bStartPending) {
            return actions;
        }
        event = Event::Start;
    }

    for (const Row& row : TABLE) {
        if (row.state != m_state || row.event != event) {
            continue;
        }
        const bool bMatch = row.guard == Guard::Always ||
                            (row.guard == Guard::AttemptsLeft && m_nAttemptsLeft > 0) ||
                            (row.guard == Guard::NoAttemptsLeft && m_nAttemptsLeft <= 0) ||
                            (row.guard == Guard::Wanted && IsWanted()) ||
                            (row.guard == Guard::NotWanted && !IsWanted());
        if (!bMatch) {
            continue;
        }
        const State previous = m_state;
        m_state = row.next;
        if (m_bOpening && m_state != State::Starting && m_state != State::Down) {
            m_bOpenStale = true;
        }
        if (previous == State::Starting && m_state != State::Starting) {
            m_nAttemptsLeft = 0;
        }
        Run(row.steps, actions);
        break;
    }
    return actions;
}

void CLinkPolicy::Run(unsigned nSteps, std::vector<Action>& actions) {
    if (nSteps & CLOSE) {
        actions.push_back(Simple(Kind::Close));
    }
    if (nSteps & CLOSE_KEEP_WATCH) {
        actions.push_back(Simple(Kind::CloseKeepWatch));
    }
    if (nSteps & UNWATCH) {
        actions.push_back(Simple(Kind::Unwatch));
    }
    if (nSteps & KILL_TIMERS) {
        for (Timer timer : {Timer::StartPause, Timer::Retry, Timer::RemovalWait}) {
            Action kill = Simple(Kind::KillTimer);
            kill.timer = timer;
            actions.push_back(kill);
        }
    }
    if (nSteps & ADOPT) {
        actions.push_back(Simple(Kind::Adopt));
    }
    if (nSteps & SHOW_READY) {
        Show(Notice::Ready, actions);
    }
    if (nSteps & SHOW_ARRIVED) {
        Show(m_bQuiet ? Notice::Ready : Notice::Arrived, actions);
    }
    if (nSteps & SHOW_CANNOT_OPEN) {
        Show(Notice::CannotOpen, actions);
    }
    if (nSteps & SHOW_REMOVED) {
        Show(Notice::Removed, actions);
    }
    if (nSteps & SHOW_FAULT) {
        Show(Notice::Fault, actions);
    }
    if (nSteps & SHOW_QUIET_DOWN) {
        Show(Notice::QuietDown, actions);
    }
    if (nSteps & FIRST_DELAY) {
        m_nRetryDelayMs = FIRST_RETRY_MS;
    }
    if (nSteps & ARM_START_PAUSE) {
        Arm(Timer::StartPause, START_PAUSE_MS, actions);
    }
    if (nSteps & ARM_RETRY) {
        Arm(Timer::Retry, m_nRetryDelayMs, actions);
        m_nRetryDelayMs =
            m_nRetryDelayMs * 2 < LONGEST_RETRY_MS ? m_nRetryDelayMs * 2 : LONGEST_RETRY_MS;
    }
    if (nSteps & ARM_REMOVAL_WAIT) {
        Arm(Timer::RemovalWait, REMOVAL_WAIT_MS, actions);
    }
    if (nSteps & OPEN) {
        if (m_bOpening) {
            m_bOpenAgain = true;
        } else {
            if (m_state == State::Starting) {
                --m_nAttemptsLeft;
            }
            m_bOpening = true;
            actions.push_back(Simple(Kind::Open));
        }
    }
}

void CLinkPolicy::Show(Notice notice, std::vector<Action>& actions) {
    // One notification per change of state: an unplug that the watch thread
    // notices before the removal notice arrives is told once.
    const bool bReady = notice == Notice::Ready || notice == Notice::Arrived;
    if (notice == Notice::QuietDown) {
        m_bQuiet = true;
    } else {
        m_bQuiet = false;
    }
    const Shown shown = bReady ? Shown::Ready : Shown::NotReady;
    if (shown == m_shown) {
        return;
    }
    m_shown = shown;
    Action show = Simple(Kind::Show);
    show.notice = notice;
    actions.push_back(show);
}

void CLinkPolicy::Arm(Timer timer, unsigned delayMs, std::vector<Action>& actions) {
    Action arm = Simple(Kind::ArmTimer);
    arm.timer = timer;
    arm.delayMs = delayMs;
    actions.push_back(arm);
}
