// The test dialog: a picture of the configured remote control on which the
// key that the decoder has just recognised is marked in red. A short press
// lights its key for a moment; a held key blinks until it is released.
// The main dialog holds one object for the whole run and shows it modally;
// the decoder posts WM_RC_TESTKEY to its window while the window exists.
#pragma once

#include <windows.h>

#include "CDialog.h"
#include "CRemotePicture.h"
#include "RemoteControl.h"
#include "RemoteKeyText.h"

class CDlgTest : public CDialog {
public:
    explicit CDlgTest(CWnd* pParentWnd = nullptr);
    ~CDlgTest() override;

    // Key numbers; index 0 of the lamps is not used.
    static constexpr int FIRST_KEY = RC_KEY_FIRST;
    static constexpr int LAST_KEY = RC_KEY_LAST;
    // Timer ids besides the keys' own lamp timers (id = key number).
    static constexpr UINT_PTR BLINK_TIMER = 24;
    static constexpr UINT_PTR RELEASE_TIMER = 25;
    static constexpr UINT LAMP_MS = 200;
    static constexpr UINT BLINK_MS = 200;
    static constexpr UINT RELEASE_MS = 300;

protected:
    BOOL OnInitDialog() override;
    const framework::MessageMap* GetMessageMap() const override;

private:
    void OnPaint();
    LRESULT OnEraseBkgnd(WPARAM wParam, LPARAM lParam);
    LRESULT OnTestKey(WPARAM wParam, LPARAM lParam);
    LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
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
    int m_lamps[LAST_KEY + 1] = {};
};
