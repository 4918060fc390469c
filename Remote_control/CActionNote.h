// The small window that shows what a key just did, near the bottom of the
// monitor in front, for as long as CActionNoteTiming says; a question's note
// counts down its seconds. It never takes the focus or a click.
// Ordinary notes stay away while a full-screen program or a presentation
// runs; those that must be seen show all the same (CActionNoteRule).
#pragma once

#include <windows.h>

#include <string>

#include "CActionNoteRule.h"
#include "CActionNoteTiming.h"
#include "COverlayWindow.h"

class CActionNote : public COverlayWindow {
public:
    static constexpr const char* WINDOW_CLASS = "KV480ActionNote";

    explicit CActionNote(CDeadlineClock& clock);
    ~CActionNote() override;

    // Shows strText (UTF-8) on the monitor of hForeground. False when it did
    // not show: an ordinary note while the user must not be disturbed, or no
    // window could be made (then a note that must be seen needs another way
    // to the user).
    // bKeyHeld: its time starts at KeyReleased.
    bool Show(const std::string& strText, HWND hForeground, CActionNoteRule::Kind kind,
              bool bKeyHeld);
    // A question that must be seen, counting down its seconds.
    bool ShowCountdown(const CActionNoteTiming::Countdown& countdown, HWND hForeground);
    void KeyReleased();
    void HideNote();
    // Whether the user's option ShowActions is on (read at each call, so a
    // change counts at the next key).
    static bool IsWanted();

protected:
    const framework::MessageMap* GetMessageMap() const override;

private:
    static bool IsUserBusy();
    // Whether a note of this kind may show now.
    static bool MayShow(CActionNoteRule::Kind kind);
    static HMONITOR MonitorOf(HWND hForeground);
    // Shows the timing's text on m_hMonitor, sized to it.
    bool Place();
    // The text changes or the note goes, as the timing says.
    void OnTimeReached();
    void ScheduleNext();
    void OnPaint();

    HFONT m_hFont = nullptr;
    UINT m_nFontDpi = 0;
    std::wstring m_strText;
    HMONITOR m_hMonitor = nullptr;
    CActionNoteTiming m_timing;
    CDeadlineClock::Timer m_changeTimer;
};
