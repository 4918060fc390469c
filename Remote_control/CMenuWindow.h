// The on-screen menu and keyboard that the remote steers: a large window
// over everything, in the middle of the monitor of the window in front,
// which keeps the focus, so what an entry types lands where the user was.
// Its text is the selected entry's label, told to screen readers at every
// move. It draws only when the menu changed: nothing runs while it is shown
// and untouched.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "CMenuModel.h"
#include "COverlayWindow.h"

class CMenuWindow : public COverlayWindow {
public:
    static constexpr const char* WINDOW_CLASS = "KV480Menu";
    // The text's height in percent of the monitor's height, unless the
    // user's MenuTextHeight says otherwise (kept between the bounds).
    static constexpr unsigned DEFAULT_TEXT_PERCENT = 3;
    static constexpr unsigned MIN_TEXT_PERCENT = 1;
    static constexpr unsigned MAX_TEXT_PERCENT = 10;

    explicit CMenuWindow(CDeadlineClock& clock);
    ~CMenuWindow() override;

    // Shows menu as it stands now on the monitor of hForeground (the
    // primary one when null); false when no window could be made.
    bool Show(const CMenuModel& menu, HWND hForeground);
    // The user's MenuTextHeight, read at each opening.
    static unsigned TextPercent();

private:
    struct Colours {
        COLORREF background, text, selectedBackground, selectedText, frame;
    };
    // Windows' high-contrast colours when the user has them on.
    static Colours CurrentColours();
    void TakeFrom(const CMenuModel& menu);
    void MakeFonts(int nTextHeight);
    // The window's size for what it shows, at most the monitor's work area.
    SIZE Measure(const RECT& work);
    void Paint(HDC hDC, const RECT& client);
    void PaintKeyboard(HDC hDC, const RECT& client, int nTop, const Colours& colours);

    // What the menu shows, copied at each Show.
    std::wstring m_strTitle;
    std::wstring m_strText;
    bool m_bKeyboard = false;
    std::vector<std::wstring> m_labels;
    std::size_t m_nSelected = 0;
    std::size_t m_nFirstShown = 0;
    std::size_t m_nRowsShown = 0;
    std::vector<std::vector<std::wstring>> m_keys;
    std::vector<std::vector<int>> m_keyWidths;
    std::size_t m_nKeyRow = 0;
    std::size_t m_nKeyColumn = 0;
    bool m_bScanningRows = false;

    HFONT m_hFont = nullptr;
    HFONT m_hTitleFont = nullptr;
    unsigned m_nTextPercent = DEFAULT_TEXT_PERCENT;
    int m_nFontHeight = 0;
    int m_nPadding = 0;
    int m_nRowHeight = 0;
    int m_nFrame = 0;
};
