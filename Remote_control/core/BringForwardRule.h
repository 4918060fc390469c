// Whether a Run line's program came in front, from what Windows answered at
// each step, and what the user is told when it did not. Windows lets only the
// program the user works with change the window in front; KV480's keys do not
// come through its input queue, so every step can be refused. No operating
// system here, so every refusal can be tried.
#pragma once

#include <string>

class BringForwardRule {
public:
    struct Attempt {
        bool bHung = false;        // the window's thread does not answer: nothing tried
        bool bSet = false;         // SetForegroundWindow said it did
        bool bAttached = false;    // input shared with the window in front's thread
        bool bSetAttached = false; // and SetForegroundWindow then said it did
    };

    // A running program's window: empty when it came in front, else the
    // warning's end (after the Run line's program).
    static std::string ForRunning(const Attempt& attempt, const std::string& strCaption);

    struct Started {
        bool bMayTakeForeground = false; // AllowSetForegroundWindow granted it
        bool bWindowShown = false;       // a window of it appeared in time
        bool bInFront = false;           // that window was in front by itself
        Attempt attempt;                 // what bringing it forward gave
    };
    // A program just started: whether KV480 must bring its window forward.
    // Not when Windows granted it the front: it takes the front as its window
    // activates, which can be a moment after the window is seen, and forcing
    // it meanwhile only races it. Otherwise when it shows behind.
    static bool MustBringForward(const Started& started);
    // Empty when it came in front or never showed a window (a console
    // program, one that only did its work); else the warning's end.
    static std::string ForStarted(const Started& started, const std::string& strCaption);

private:
    static bool CameForward(const Attempt& attempt);
};
