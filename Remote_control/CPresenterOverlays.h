// The presenter's tools on screen: the spotlight, the laser dot, the
// magnifier's lens, the blank screen and the talk timer, each a top-most
// window that never takes the focus, lets every click through and stays off
// the taskbar and Alt+Tab. Those that follow the pointer listen to the mouse
// only while one of them is on, and are redrawn at most once per frame; with
// every tool off nothing runs.
#pragma once

#include <windows.h>

#include "CDeadlineClock.h"
#include "CFramePacer.h"
#include "CKeyAction.h"
#include "CPresenterTools.h"
#include "CTalkTimer.h"

class CPresenterOverlays {
public:
    // The window classes, one per tool, in CPresenterTools::Tool order.
    static constexpr const char* SPOTLIGHT_CLASS = "KV480Spotlight";
    static constexpr const char* LASER_DOT_CLASS = "KV480LaserDot";
    static constexpr const char* MAGNIFIER_CLASS = "KV480Magnifier";
    static constexpr const char* BLANK_SCREEN_CLASS = "KV480BlankScreen";
    static constexpr const char* TIMER_CLASS = "KV480Timer";

    explicit CPresenterOverlays(CDeadlineClock& clock);
    ~CPresenterOverlays();
    CPresenterOverlays(const CPresenterOverlays&) = delete;
    CPresenterOverlays& operator=(const CPresenterOverlays&) = delete;

    // Switches the action's tool on or off; false when it is none of them.
    bool Carry(const CKeyAction& action);
    // KV480 set the pointer itself, which the mouse hook does not see.
    void PointerMoved();
    // Every tool off: the session is locked or KV480 ends.
    void AllOff();

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

    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK MouseHook(int nCode, WPARAM wParam, LPARAM lParam);

    HWND Window(CPresenterTools::Tool tool);
    void Show(CPresenterTools::Tool tool);
    void Hide(CPresenterTools::Tool tool);
    void Follow();
    void OnPointer(POINT point);
    void OnFrame();
    void DrawFollowers(POINT point);
    void DrawSpotlight(POINT point);
    void DrawDot(POINT point);
    void DrawLens(POINT point);
    void ShowBlankScreen();
    void StartTimer();
    void UpdateTimer();
    void Paint(HWND hWnd);

    CDeadlineClock& m_clock;
    CPresenterTools m_tools;
    HWND m_ahWnd[CPresenterTools::TOOL_COUNT] = {};
    HHOOK m_hMouseHook = nullptr;
    CFramePacer m_pacer;
    CDeadlineClock::Timer m_frameTimer;

    Surface m_spotlight;
    RECT m_spotlightMonitor = {};
    RECT m_spotlightHole = {}; // on the surface, empty before the first draw
    Surface m_dot;
    UINT m_nDotDpi = 0;
    Surface m_lens;

    CTalkTimer m_talk{0};
    std::uint64_t m_nTalkStartMs = 0;
    CDeadlineClock::Timer m_talkTimer;
    HFONT m_hTimerFont = nullptr;
};
