// A key form's action as the editor shows it: what kind it is, the part the
// user edits, and the repeat mark; and back to the text of the file.
#pragma once

#include <string>
#include <vector>

enum class ActionKind {
    NotSet,
    Keystroke,
    Sequence,
    Text,
    Program,
    Mouse,
    Nothing,
    PresenterTool, // spotlight, laser dot, magnifier or blank screen
    Timer,         // the talk timer; the value is its m:ss
    Mode,          // a mode switched on or off; the value is its name, or "Off"
    Pc,            // one of the PC's own actions: lock, sleep, shut down...
};

struct ActionParts {
    ActionKind kind = ActionKind::NotSet;
    // keystroke, sequence, text, "program" args, mouse or tool word, m:ss,
    // mode's name or "Off", PC action's word
    std::string strValue;
    bool bRepeat = false;
};

ActionParts SplitAction(const std::string& strAction);
std::string JoinAction(const ActionParts& parts);

// The mouse actions' words as the file writes them.
const std::vector<std::string>& MouseActionNames();

// The presenter's tools as the file writes them, the timer aside.
const std::vector<std::string>& PresenterToolNames();
// Times the timer's field offers.
const std::vector<std::string>& TimerSuggestions();

// "Off", the value of a Mode action that switches the mode off.
const char* ModeOffWord();

// Whether the kind takes a trailing "repeat".
bool KindRepeats(ActionKind kind);

// Why KV480 cannot carry the action out; empty when it can.
std::string ActionProblem(const ActionParts& parts);
