// The test dialog: a picture of the configured remote control on which the
// key that the decoder has just recognised is marked in red. A short press
// lights its key for a moment; a held key blinks until the decoder releases
// it. The main dialog holds one object for the whole run and shows it
// modally; as a consumer of the key pipeline it posts each key event
// (WM_RC_TESTKEY) and release (WM_RC_TESTRELEASE) to its own window while
// the window exists, where they are shown.
#pragma once

#include <windows.h>

#include <cstdint>

#include "CDeadlineClock.h"
#include "CDialog.h"
#include "CRemotePicture.h"
#include "IKeyEventSink.h"
#include "RemoteControl.h"
#include "RemoteKeyText.h"

class CDlgTest : public CDialog, public IKeyEventSink {
public:
    // The lamps' and the blinking's times run on clock.
    explicit CDlgTest(CDeadlineClock& clock, CWnd* pParentWnd = nullptr);
    ~CDlgTest() override;

    // Key numbers; index 0 of the lamps is not used.
    static constexpr int FIRST_KEY = RC_KEY_FIRST;
    static constexpr int LAST_KEY = RC_KEY_LAST;
    static constexpr UINT LAMP_MS = 200;
    static constexpr UINT BLINK_MS = 200;

    // IKeyEventSink: posted to the window, if it is open.
    void KeyEvent(int nKey, int nRepeat) override;
    void KeyRelease(int nKey) override;

protected:
    BOOL OnInitDialog() override;
    const framework::MessageMap* GetMessageMap() const override;

private:
    void OnPaint();
    LRESULT OnEraseBkgnd(WPARAM wParam, LPARAM lParam);
    // Where a key event and a release are shown.
    LRESULT OnTestKey(WPARAM wParam, LPARAM lParam);
    LRESULT OnTestRelease(WPARAM wParam, LPARAM lParam);
    // The lamps of short presses whose time is over go out.
    void LampsDue();
    // The held key's lamp changes.
    void BlinkDue();
    // The lamp timer set to the next lamp to go out, if any.
    void SetLampTimer();
    LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);

    // Outer size of the window at nDpi around the loaded picture.
    SIZE WindowSizeForDpi(UINT nDpi) const;

    // Draws the picture into the window's client area now.
    void Redraw();
    void DrawPicture(CDC& dc);

    // Names the picture after the key and what happens to it, and has
    // screen readers say it, every time (a key pressed twice says it twice).
    void SayKey(int nKey, remote_key_text::KeyEvent event);

    static bool IsKey(INT_PTR nKey) { return nKey >= FIRST_KEY && nKey <= LAST_KEY; }

    // Its marks grow with its scale.
    CRemotePicture m_picture;
    int m_nRcType = 0;
    int m_nBlinkKey = -1;
    bool m_lamps[LAST_KEY + 1] = {};
    // When each lamp lit by a press goes out; 0 when none waits.
    std::uint64_t m_lampOffMs[LAST_KEY + 1] = {};
    CDeadlineClock& m_clock;
    CDeadlineClock::Timer m_lampTimer;
    CDeadlineClock::Timer m_blinkTimer;
};
