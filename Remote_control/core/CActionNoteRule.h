#pragma once

// Whether the action note shows, by what it says and what the user is doing.
// A note that must be seen (a question to answer before a grave action, a
// mode switched, a key refused) shows even over a full-screen program or a
// presentation: there, above all, a user who saw nothing presses again. An
// ordinary note waits for the user's choice (ShowActions) and stays away
// while the user must not be disturbed.
class CActionNoteRule {
public:
    enum class Kind { Ordinary, MustBeSeen };
    // What Windows says of the user now (SHQueryUserNotificationState).
    enum class UserState { AcceptsNotes, Busy };

    static bool Shows(Kind kind, bool bWanted, UserState state) {
        return kind == Kind::MustBeSeen || (bWanted && state == UserState::AcceptsNotes);
    }
};
