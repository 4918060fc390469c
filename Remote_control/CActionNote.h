// The small window that shows for about a second what a key just did, near
// the bottom of the monitor in front. It never takes the focus or a click,
// and stays away while a full-screen program or a presentation runs.
#pragma once

#include <windows.h>

#include <string>

class CActionNote {
public:
    static constexpr const char* WINDOW_CLASS = "KV480ActionNote";
    static constexpr UINT SHOW_TIME_MS = 1000;
    static constexpr UINT_PTR HIDE_TIMER_ID = 0x31;

    CActionNote() = default;
    ~CActionNote();
    CActionNote(const CActionNote&) = delete;
    CActionNote& operator=(const CActionNote&) = delete;

    // Shows strText (UTF-8) on the monitor of hForeground, unless the user
    // must not be disturbed now.
    void Show(const std::string& strText, HWND hForeground);
    // Whether the user's option ShowActions is on (read at each call, so a
    // change counts at the next key).
    static bool IsWanted();

private:
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);
    static bool IsUserBusy();
    bool Create();
    void Paint();

    HWND m_hWnd = nullptr;
    HFONT m_hFont = nullptr;
    UINT m_nFontDpi = 0;
    std::wstring m_strText;
};
