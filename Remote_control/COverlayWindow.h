// A window drawn over everything else, for notes and the presenter's tools:
// layered, top-most, never activated (neither by showing nor by a click),
// off the taskbar and Alt+Tab, and click-through when asked. It lives at the
// DPI of the monitor it is on (WM_DPICHANGED tells a subclass through
// OnDpiChanged), and has no Win32 timers of its own: its owner's waits run on
// KV480's one clock, handed in at construction (Clock()).
//
// A subclass lists its handlers in a message map whose base is
// COverlayWindow::GetMessageMap(), and draws either by WM_PAINT (with the
// whole window at one opacity: SetOpacity) or by UpdateLayeredWindow.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>

#include "CDeadlineClock.h"
#include "CWnd.h"

class COverlayWindow : public CWnd {
public:
    explicit COverlayWindow(CDeadlineClock& clock) : m_clock(clock) {}
    ~COverlayWindow() override;

    // Creates the hidden window, of the window class pszClass (registered on
    // the first call; hBackground paints its background, none when null).
    // True at once when the window exists.
    bool Create(const wchar_t* pszClass, bool bClickThrough, HBRUSH hBackground = nullptr);

    // Shown at place (in front, not activated) or hidden.
    void ShowAt(const RECT& place);
    void Hide();
    bool IsVisible() const { return m_hWnd != nullptr && IsWindowVisible(m_hWnd) != FALSE; }

    // The whole window at nAlpha (0..255), for windows drawn by WM_PAINT.
    void SetOpacity(BYTE nAlpha);
    // The window's text, stored as UTF-16 whatever the window's procedure:
    // what other programs read with GetWindowText (a WM_GETTEXT sent to the
    // window still passes its ANSI procedure).
    void SetText(const std::wstring& strText);

    // Paints the window's client area on WM_PAINT (none: the class's
    // background only).
    void SetPainter(std::function<void(HDC hDC, const RECT& client)> painter);
    // Runs onWake on the window's thread soon after Wake, which any thread or
    // a hook may call: they hand over, the window's thread draws. Wakes that
    // come before it ran run it once.
    void SetWakeHandler(std::function<void()> onWake) { m_onWake = std::move(onWake); }
    void Wake();

    // The DPI of the monitor the window is on now.
    UINT Dpi() const;
    CDeadlineClock& Clock() { return m_clock; }

    // The monitor at a point (the nearest when none is there) and its DPI.
    static bool MonitorAt(POINT point, RECT& monitor, UINT& nDpi);

protected:
    const framework::MessageMap* GetMessageMap() const override;
    // The window moved to a monitor of another DPI.
    virtual void OnDpiChanged(UINT /*nDpi*/) {}

private:
    LRESULT OnNcHitTest(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseActivate(WPARAM wParam, LPARAM lParam);
    LRESULT OnDpiChangedMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnEraseBackground(WPARAM wParam, LPARAM lParam);
    LRESULT OnWake(WPARAM wParam, LPARAM lParam);

    CDeadlineClock& m_clock;
    bool m_bClickThrough = false;
    std::function<void(HDC, const RECT&)> m_painter;
    std::function<void()> m_onWake;
    std::atomic<bool> m_bWakePosted{false};
};
