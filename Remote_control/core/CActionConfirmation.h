#pragma once

#include "CActionNoteTiming.h"
#include "CKeyActionEngine.h"

#include <cstdint>
#include <string>

// The second press that an action too grave for one press needs (ShutDown,
// Restart): the first press of its key only asks; the same entry again
// within CONFIRM_MS acts. Any other action in between cancels the question.
// Uses no operating-system service: the times are handed in.
class CActionConfirmation {
public:
    static constexpr std::uint64_t CONFIRM_MS = 5000;

    // For a step whose action needs confirmation: true when it acts now,
    // false when this press only asks (Question tells the user how to go on).
    bool Confirm(const CKeyActionEngine::Step& step, std::uint64_t nNowMs);
    // Another action ran: the question is over.
    void Forget() { m_bAsked = false; }
    bool IsAsked() const { return m_bAsked; }

    // What the confirmed action does, for the question: "restart" or
    // "shut down".
    static const char* Verb(const CKeyAction& action);
    // The question's note, counting down the seconds left: "Press key 6
    // again (held) within 5 s to shut down the PC", with the key and the
    // form that answer it.
    static CActionNoteTiming::Countdown Question(const CKeyAction& action, int nKey,
                                                 CKeyMap::Form form);

private:
    bool m_bAsked = false;
    CKeyMapLayers::Layer m_layer = CKeyMapLayers::NO_LAYER;
    std::size_t m_nLine = 0;
    CKeyMap::Form m_form = CKeyMap::Form::Plain;
    std::uint64_t m_nAskedMs = 0;
};
