#include "BringForwardRule.h"

bool BringForwardRule::CameForward(const Attempt& attempt) {
    return !attempt.bHung && (attempt.bSet || (attempt.bAttached && attempt.bSetAttached));
}

std::string BringForwardRule::ForRunning(const Attempt& attempt, const std::string& strCaption) {
    if (attempt.bHung) {
        return "was not brought forward: \"" + strCaption + "\" does not answer.";
    }
    if (CameForward(attempt)) {
        return std::string();
    }
    return "was not brought forward: Windows kept the window in front where it was (\"" +
           strCaption + "\" stays behind it).";
}

bool BringForwardRule::MustBringForward(const Started& started) {
    return !started.bMayTakeForeground && started.bWindowShown && !started.bInFront;
}

std::string BringForwardRule::ForStarted(const Started& started, const std::string& strCaption) {
    if (!MustBringForward(started) || CameForward(started.attempt)) {
        return std::string();
    }
    if (started.attempt.bHung) {
        return "was started, but \"" + strCaption + "\" does not answer.";
    }
    return "was started, but Windows kept it behind the window in front (KV480 may not give it "
           "the front).";
}
