// The presenter's tools on screen: the spotlight, the laser dot, the
// magnifier's lens, the blank screen and the talk timer, each drawn in
// top-most windows that never take the focus, let every click through and
// stay off the taskbar and Alt+Tab (COverlayWindow). Those that follow the
// pointer read its place once per frame of the pointer's display while one of
// them is on, and draw only when it moved. No mouse hook: nothing that Windows
// can take away when it is slow, and no other program's input waits on us
// (under Wine a hook holds back other processes' injected moves). A move costs
// work in proportion to the tool, not the monitor: the spotlight is a ring
// window that moves and four dark windows around it that are only resized.
// With every tool off nothing runs.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "CDeadlineClock.h"
#include "CFramePacer.h"
#include "CFrameWaker.h"
#include "CKeyAction.h"
#include "COverlayWindow.h"
#include "CPresenterTools.h"
#include "CTalkTimer.h"
#include "IUserNotices.h"
#include "MessageMap.h"

class CPresenterOverlays : public framework::MessageTarget {
public:
    // The window classes, one per tool, in CPresenterTools::Tool order; the
    // spotlight's is its ring's, SPOTLIGHT_SHADE_CLASS the dark around it.
    static constexpr const char* SPOTLIGHT_CLASS = "KV480Spotlight";
    static constexpr const char* LASER_DOT_CLASS = "KV480LaserDot";
    static constexpr const char* MAGNIFIER_CLASS = "KV480Magnifier";
    static constexpr const char* BLANK_SCREEN_CLASS = "KV480BlankScreen";
    static constexpr const char* TIMER_CLASS = "KV480Timer";
    static constexpr const char* SPOTLIGHT_SHADE_CLASS = "KV480SpotlightShade";

    // notices: where the user is told of a tool taken away with its monitor.
    CPresenterOverlays(CDeadlineClock& clock, IUserNotices& notices);
    ~CPresenterOverlays();
    CPresenterOverlays(const CPresenterOverlays&) = delete;
    CPresenterOverlays& operator=(const CPresenterOverlays&) = delete;

    // Switches the action's tool on or off; false when it is none of them.
    bool Carry(const CKeyAction& action);
    // KV480 set the pointer itself: the tools follow at once.
    void PointerMoved();
    // Every tool off: the session is locked or KV480 ends.
    void AllOff();

    CDeadlineClock& Clock() { return m_clock; }

    // The main window's messages that concern the tools (WM_DISPLAYCHANGE).
    const framework::MessageMap* GetMessageMap() const;

private:
    // A 32-bit top-down bitmap selected into a memory DC, for
    // UpdateLayeredWindow.
    struct Surface {
        HDC hDC = nullptr;
        HBITMAP hBitmap = nullptr;
        HGDIOBJ hOld = nullptr;
        DWORD* pBits = nullptr;
        int nWidth = 0;
        int nHeight = 0;
    };
    static bool MakeSurface(Surface& surface, int nWidth, int nHeight);
    static void FreeSurface(Surface& surface);

    COverlayWindow& Window(CPresenterTools::Tool tool);
    bool Create(CPresenterTools::Tool tool);
    void Show(CPresenterTools::Tool tool);
    void Hide(CPresenterTools::Tool tool);
    void Follow();
    void OnWake();
    void DrawFollowers(POINT point);
    void DrawSpotlight(POINT point);
    void DrawDot(POINT point);
    void DrawLens(POINT point);
    // The monitor the rule picks for the blank screen or the timer: its
    // place, DPI and device name. False when there is none.
    bool ChooseMonitor(CPresenterTools::Tool tool, RECT& monitor, UINT& nDpi,
                       std::wstring& strDevice) const;
    // Monitors added, removed or changed: each tool placed again, or taken
    // away with its monitor.
    void OnDisplayChange();
    void ShowBlankScreen();
    void StartTimer();
    void PlaceTimer();
    void UpdateTimer();
    void PaintBlankScreen(HDC hDC, const RECT& client);
    void PaintTimer(HDC hDC, const RECT& client);

    CDeadlineClock& m_clock;
    IUserNotices& m_notices;
    CPresenterTools m_tools;
    // The device of the monitor the blank screen and the timer are on.
    std::wstring m_astrMonitorOf[CPresenterTools::TOOL_COUNT];
    std::unique_ptr<COverlayWindow> m_apWnd[CPresenterTools::TOOL_COUNT];
    std::unique_ptr<COverlayWindow> m_apShade[4];

    // Whether the frame waker runs, and where the followers were last drawn;
    // m_bRedraw asks for a draw at an unchanged place (a new layout).
    bool m_bPolling = false;
    POINT m_drawn = {0, 0};
    bool m_bRedraw = false;
    CFramePacer m_pacer{16667};
    HMONITOR m_hPacedMonitor = nullptr;
    // Never shown: where the frame waker hands over to drawing.
    // Declared before the waker, whose thread posts to it until it ends.
    COverlayWindow m_wakeWindow;
    CFrameWaker m_waker;

    Surface m_ring;
    // What the ring's surface holds: its size and the circle's centre on it.
    RECT m_ringDrawn = {};
    UINT m_nRingDpi = 0;
    Surface m_dot;
    UINT m_nDotDpi = 0;
    Surface m_lens;

    CTalkTimer m_talk{0};
    std::uint64_t m_nTalkStartMs = 0;
    CDeadlineClock::Timer m_talkTimer;
    HFONT m_hTimerFont = nullptr;
};
