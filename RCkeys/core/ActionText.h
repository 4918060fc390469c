// A key form's action as the editor shows it: what kind it is, the part the
// user edits, and the repeat mark; and back to the text of the file.
#pragma once

#include <string>
#include <vector>

enum class ActionKind { NotSet, Keystroke, Sequence, Text, Program, Mouse, Nothing };

struct ActionParts {
    ActionKind kind = ActionKind::NotSet;
    std::string strValue; // keystroke, sequence, text, "program" args, mouse word
    bool bRepeat = false;
};

ActionParts SplitAction(const std::string& strAction);
std::string JoinAction(const ActionParts& parts);

// The mouse actions' words as the file writes them.
const std::vector<std::string>& MouseActionNames();

// Whether the kind takes a trailing "repeat".
bool KindRepeats(ActionKind kind);

// Why KV480 cannot carry the action out; empty when it can.
std::string ActionProblem(const ActionParts& parts);
