// What the key path tells the user: the note of what a key did, the mode in
// the tray's tooltip and the tray's warning balloons.
#pragma once

#include <string>

class IUserNotices {
public:
    // For a moment, near the window in front, what a key just did: when the
    // user wants it, or bAlways (a mode switched, a question to answer).
    virtual void ShowActionNote(const std::string& strText, bool bAlways) = 0;
    // The mode that is on (empty: none), and the line of the tray icon's
    // tooltip that names it; other programs of the user learn it too.
    virtual void ShowMode(const std::string& strMode, const std::string& strTipLine) = 0;
    // A warning balloon on the tray icon; false when it could not be shown.
    virtual bool ShowBalloon(const std::string& strTitle, const std::string& strText) = 0;

protected:
    ~IUserNotices() = default;
};
