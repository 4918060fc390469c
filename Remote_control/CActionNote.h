// The small window that shows for about a second what a key just did, near
// the bottom of the monitor in front. It never takes the focus or a click.
// Ordinary notes stay away while a full-screen program or a presentation
// runs; those that must be seen show all the same (CActionNoteRule).
#pragma once

#include <windows.h>

#include <string>

#include "CActionNoteRule.h"
#include "COverlayWindow.h"

class CActionNote : public COverlayWindow {
public:
    static constexpr const char* WINDOW_CLASS = "KV480ActionNote";
    static constexpr std::uint64_t SHOW_TIME_MS = 1000;

    explicit CActionNote(CDeadlineClock& clock);
    ~CActionNote() override;

    // Shows strText (UTF-8) on the monitor of hForeground. False when it did
    // not show: an ordinary note while the user must not be disturbed, or no
    // window could be made (then a note that must be seen needs another way
    // to the user).
    bool Show(const std::string& strText, HWND hForeground,
              CActionNoteRule::Kind kind = CActionNoteRule::Kind::Ordinary);
    // Whether the user's option ShowActions is on (read at each call, so a
    // change counts at the next key).
    static bool IsWanted();

protected:
    const framework::MessageMap* GetMessageMap() const override;

private:
    static bool IsUserBusy();
    void OnPaint();

    HFONT m_hFont = nullptr;
    UINT m_nFontDpi = 0;
    std::wstring m_strText;
    CDeadlineClock::Timer m_hideTimer;
};
