// A key form's action as the editor shows it: its kind as KV480 reads it,
// the part the user edits and the repeat mark; and back to the text of the
// file. CKeyAction's grammar reads and writes it.
#pragma once

#include "CKeyAction.h"

#include <string>
#include <vector>

struct ActionParts {
    // False: the form has no action of its own.
    bool bSet = false;
    CKeyAction::Kind kind = CKeyAction::Kind::Nothing;
    // Keystrokes, more than one in order. A sequence shows no Repeat box: a
    // "repeat" written after it stays in its value.
    bool bSequence = false;
    // CKeyAction::Value; for a value KV480 cannot read, the whole value as
    // keystrokes, so that it shows as invalid and is kept as written.
    std::string strValue;
    bool bRepeat = false;
};

ActionParts SplitAction(const std::string& strAction);
std::string JoinAction(const ActionParts& parts);

// Whether the form offers the repeat mark for the parts.
bool ShowsRepeat(const ActionParts& parts);

// Times the timer's field offers.
const std::vector<std::string>& TimerSuggestions();

// Why KV480 cannot carry the action out; empty when it can.
std::string ActionProblem(const ActionParts& parts);

// A menu entry's value, "\"<label>\" <action>", split into its label and
// action (trimmed); false, with both as far as they go, when the label is
// not in double quotes.
bool SplitMenuItem(const std::string& strItem, std::string& strLabel, std::string& strAction);
// The entry's value; a double quote in the label, which would end it early,
// becomes a single one.
std::string JoinMenuItem(const std::string& strLabel, const std::string& strAction);
