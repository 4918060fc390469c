// What the key path tells the user: the note of what a key did, the mode in
// the tray's tooltip and the tray's warning balloons.
#pragma once

#include "CActionNoteTiming.h"

#include <string>

class IUserNotices {
public:
    // Near the window in front, what a key just did: when the user wants it,
    // or bAlways (a mode switched), whatever runs full screen. It stays long
    // enough to be read after the key's release (NoteKeyReleased when
    // bKeyHeld). False when it is not shown.
    virtual bool ShowActionNote(const std::string& strText, bool bAlways, bool bKeyHeld) = 0;
    // A question to answer within a time, shown whatever runs full screen
    // and counting down the seconds left; false when it is not shown.
    virtual bool ShowCountdownNote(const CActionNoteTiming::Countdown& countdown) = 0;
    // The key whose press showed the note was released.
    virtual void NoteKeyReleased() = 0;
    // The note's question is over before its time.
    virtual void HideActionNote() = 0;
    // The mode that is on (empty: none), and the line of the tray icon's
    // tooltip that names it; other programs of the user learn it too.
    virtual void ShowMode(const std::string& strMode, const std::string& strTipLine) = 0;
    // A warning balloon on the tray icon; false when it could not be shown.
    virtual bool ShowBalloon(const std::string& strTitle, const std::string& strText) = 0;

protected:
    ~IUserNotices() = default;
};
