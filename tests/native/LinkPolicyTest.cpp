#include "CLinkPolicy.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Event = CLinkPolicy::Event;
using Kind = CLinkPolicy::Action::Kind;

std::string TimerName(CLinkPolicy::Timer timer) {
    switch (timer) {
    case CLinkPolicy::Timer::StartPause:
        return "pause";
    case CLinkPolicy::Timer::Retry:
        return "retry";
    case CLinkPolicy::Timer::RemovalWait:
        return "removal";
    case CLinkPolicy::Timer::ConsoleAsk:
        return "console";
    }
    return "?";
}

std::string NoticeName(CLinkPolicy::Notice notice) {
    const char* const names[] = {"ready", "arrived", "cannot-open", "removed", "fault", "quiet"};
    return names[static_cast<int>(notice)];
}

// The actions as words, killed timers left out: "close; show removed; arm retry 2000".
std::string Words(const std::vector<CLinkPolicy::Action>& actions) {
    std::string text;
    for (const CLinkPolicy::Action& action : actions) {
        std::string word;
        switch (action.kind) {
        case Kind::Open:
            word = "open";
            break;
        case Kind::Adopt:
            word = "adopt";
            break;
        case Kind::Discard:
            word = "discard";
            break;
        case Kind::Close:
            word = "close";
            break;
        case Kind::CloseKeepWatch:
            word = "close-keep-watch";
            break;
        case Kind::Unwatch:
            word = "unwatch";
            break;
        case Kind::ArmTimer:
            word = "arm " + TimerName(action.timer) + " " + std::to_string(action.delayMs);
            break;
        case Kind::KillTimer:
            continue;
        case Kind::Show:
            word = "show " + NoticeName(action.notice);
            break;
        case Kind::AskConsole:
            word = "ask-console";
            break;
        }
        text += (text.empty() ? "" : "; ") + word;
    }
    return text;
}

class LinkPolicyTest : public ::testing::Test {
protected:
    std::string On(Event event) { return Words(m_policy.OnEvent(event)); }

    // Started, and the first attempt succeeded.
    void BringUp() {
        On(Event::Start);
        ASSERT_EQ("adopt; show ready", On(Event::OpenDone));
    }

    CLinkPolicy m_policy{false};
};

TEST_F(LinkPolicyTest, StartUpAttemptsThenQuietRetriesThatGrowToHalfAMinute) {
    EXPECT_EQ("open", On(Event::Start));
    for (int attempt = 1; attempt < CLinkPolicy::START_ATTEMPTS; ++attempt) {
        EXPECT_EQ("arm pause 4000", On(Event::OpenFailed));
        EXPECT_EQ("open", On(Event::StartPauseOver));
    }
    EXPECT_EQ("show cannot-open; arm retry 2000", On(Event::OpenFailed));
    for (unsigned delay : {4000u, 8000u, 16000u, 30000u, 30000u}) {
        EXPECT_EQ("open", On(Event::RetryDue));
        EXPECT_EQ("arm retry " + std::to_string(delay), On(Event::OpenFailed));
    }
    EXPECT_EQ("open", On(Event::RetryDue));
    // A success after the failure message is told as an arrival.
    EXPECT_EQ("adopt; show arrived", On(Event::OpenDone));
}

TEST_F(LinkPolicyTest, NoRetryOptionMakesOneAttemptAndStillRetriesQuietly) {
    CLinkPolicy policy(true);
    EXPECT_EQ("open", Words(policy.OnEvent(Event::Start)));
    EXPECT_EQ("show cannot-open; arm retry 2000", Words(policy.OnEvent(Event::OpenFailed)));
    // Any arrival signal tries at once, and the delay starts short again.
    EXPECT_EQ("open", Words(policy.OnEvent(Event::RetryDue)));
    EXPECT_EQ("arm retry 4000", Words(policy.OnEvent(Event::OpenFailed)));
    EXPECT_EQ("open", Words(policy.OnEvent(Event::Arrival)));
    EXPECT_EQ("arm retry 2000", Words(policy.OnEvent(Event::OpenFailed)));
}

TEST_F(LinkPolicyTest, ArrivalDuringTheStartUpOpensAtOnceAndIsToldAsAnArrival) {
    On(Event::Start);
    EXPECT_EQ("arm pause 4000", On(Event::OpenFailed));
    EXPECT_EQ("open", On(Event::Arrival));
    EXPECT_EQ("adopt; show arrived", On(Event::OpenDone));
    EXPECT_EQ("", On(Event::StartPauseOver));
}

TEST_F(LinkPolicyTest, AnyReadFailureClosesTellsOnceAndRetries) {
    BringUp();
    EXPECT_EQ(Event::LinkFault, CLinkPolicy::FailureEvent(87));  // ERROR_INVALID_PARAMETER
    EXPECT_EQ(Event::LinkFault, CLinkPolicy::FailureEvent(121)); // ERROR_SEM_TIMEOUT
    EXPECT_EQ(Event::LinkGone, CLinkPolicy::FailureEvent(21));   // ERROR_NOT_READY
    EXPECT_EQ("close; show fault; arm retry 2000", On(Event::LinkFault));
    EXPECT_EQ("open", On(Event::RetryDue));
    EXPECT_EQ("adopt; show arrived", On(Event::OpenDone));
    // A link that fails before any byte came is tried less and less often.
    EXPECT_EQ("close; show fault; arm retry 4000", On(Event::LinkFault));
    On(Event::RetryDue);
    On(Event::OpenDone);
    EXPECT_EQ("", On(Event::DataArrived));

    // The failed read, then the removal's own notices: one balloon, one close.
    EXPECT_EQ("close; show removed; arm retry 2000", On(Event::LinkGone));
    EXPECT_EQ("", On(Event::PortRemoved));
    EXPECT_EQ("", On(Event::RemoveComplete));
    EXPECT_EQ("", On(Event::LinkFault));
    // The removal broadcast first: the same.
    EXPECT_EQ("open", On(Event::Arrival));
    EXPECT_EQ("adopt; show arrived", On(Event::OpenDone));
    EXPECT_EQ("close; show removed; arm retry 2000", On(Event::PortRemoved));
}

TEST_F(LinkPolicyTest, OneOpenAtATimeAndAnArrivalDuringItTriesAgainAfter) {
    BringUp();
    On(Event::LinkGone);
    EXPECT_EQ("open", On(Event::RetryDue));
    EXPECT_TRUE(m_policy.IsOpenInFlight());
    EXPECT_EQ("", On(Event::Arrival));
    EXPECT_EQ("", On(Event::RetryDue));
    EXPECT_EQ("open", On(Event::OpenFailed));
    EXPECT_EQ("arm retry 2000", On(Event::OpenFailed));
}

TEST_F(LinkPolicyTest, SafeRemovalKeepsTheNotificationAndWaitsForItsOutcome) {
    BringUp();
    EXPECT_EQ("close-keep-watch; show removed; arm removal 30000", On(Event::QueryRemove));
    // Nothing reopens the port while the removal may go ahead.
    EXPECT_EQ("", On(Event::RetryDue));
    EXPECT_EQ("unwatch; open", On(Event::QueryRemoveFailed));
    EXPECT_EQ("adopt; show arrived", On(Event::OpenDone));

    On(Event::QueryRemove);
    EXPECT_EQ("unwatch; arm retry 2000", On(Event::RemoveComplete));
    On(Event::RetryDue);
    On(Event::OpenDone);

    // No word for half a minute: taken as called off.
    On(Event::QueryRemove);
    EXPECT_EQ("unwatch; open", On(Event::RemovalWaitOver));
}

TEST_F(LinkPolicyTest, SleepLetsGoQuietlyAndAResultFromBeforeItIsClosed) {
    BringUp();
    EXPECT_EQ("close; show quiet", On(Event::Suspend));
    EXPECT_EQ("", On(Event::RetryDue));
    EXPECT_EQ("open", On(Event::Resume));
    // Taken back without a balloon, as it was let go.
    EXPECT_EQ("adopt; show ready", On(Event::OpenDone));

    // Asleep while an open runs: its port is closed unused; back awake
    // before it ends, the next open follows it.
    On(Event::LinkGone);
    EXPECT_EQ("open", On(Event::RetryDue));
    EXPECT_EQ("", On(Event::Suspend));
    EXPECT_EQ("", On(Event::Resume));
    EXPECT_EQ("discard; open", On(Event::OpenDone));
    EXPECT_EQ("adopt; show arrived", On(Event::OpenDone));
}

TEST_F(LinkPolicyTest, ConsoleElsewhereOrUnknownHoldsTheLinkBack) {
    EXPECT_EQ(Event::ConsoleHere, CLinkPolicy::ConsoleEvent(1, 1));
    EXPECT_EQ(Event::ConsoleAway, CLinkPolicy::ConsoleEvent(1, 2));
    EXPECT_EQ(Event::ConsoleUnknown, CLinkPolicy::ConsoleEvent(1, 0xFFFFFFFF));

    // Unknown at the start: asked again, and the start follows the answer.
    EXPECT_EQ("arm console 1000", On(Event::ConsoleUnknown));
    EXPECT_EQ("", On(Event::Start));
    EXPECT_EQ("ask-console", On(Event::ConsoleAskDue));
    EXPECT_EQ("open", On(Event::ConsoleHere));
    EXPECT_EQ("adopt; show ready", On(Event::OpenDone));

    EXPECT_FALSE(m_policy.IsConsoleAway());
    EXPECT_EQ("close; show quiet", On(Event::ConsoleAway));
    EXPECT_TRUE(m_policy.IsConsoleAway());
    // A read during the next switch changes nothing.
    EXPECT_EQ("arm console 1000", On(Event::ConsoleUnknown));
    EXPECT_TRUE(m_policy.IsConsoleAway());
    EXPECT_EQ("", On(Event::RetryDue));
    EXPECT_EQ("open", On(Event::ConsoleHere));
    EXPECT_FALSE(m_policy.IsConsoleAway());

    CLinkPolicy away(false);
    away.OnEvent(Event::ConsoleAway);
    EXPECT_EQ("show quiet", Words(away.OnEvent(Event::Start)));
    EXPECT_EQ("", Words(away.OnEvent(Event::Resume)));
    EXPECT_EQ("open", Words(away.OnEvent(Event::ConsoleHere)));
}

TEST_F(LinkPolicyTest, EndClosesWhatIsOpenAndIgnoresLateNews) {
    BringUp();
    EXPECT_EQ("close", On(Event::End));
    EXPECT_EQ("", On(Event::Arrival));
    EXPECT_EQ(CLinkPolicy::State::Ended, m_policy.GetState());

    CLinkPolicy opening(false);
    opening.OnEvent(Event::Start);
    opening.OnEvent(Event::End);
    EXPECT_EQ("discard", Words(opening.OnEvent(Event::OpenDone)));
}

} // namespace
