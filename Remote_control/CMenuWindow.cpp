#include "CMenuWindow.h"

#include "CDC.h"
#include "CMemDC.h"
#include "Settings.h"
#include "WideText.h"

#include <algorithm>

namespace {

const wchar_t CLASS_NAME[] = L"KV480Menu";
const char* const FONT_FACE = "Segoe UI";
// Dark and plain, readable from the sofa when no high contrast is asked.
const COLORREF BACKGROUND = RGB(24, 24, 24);
const COLORREF FOREGROUND = RGB(255, 255, 255);
const COLORREF SELECTED_BACKGROUND = RGB(0, 90, 180);
const COLORREF FRAME = RGB(160, 160, 160);

// The menu may take this share of the monitor's work area, in tenths.
const int MAX_HEIGHT_TENTHS = 8;
const int MAX_WIDTH_TENTHS = 9;

void FillSolid(HDC hDC, const RECT& rect, COLORREF colour) {
    const HBRUSH hBrush = CreateSolidBrush(colour);
    FillRect(hDC, &rect, hBrush);
    DeleteObject(hBrush);
}

int TextWidth(HDC hDC, const std::wstring& strText) {
    SIZE size = {0, 0};
    GetTextExtentPoint32W(hDC, strText.c_str(), static_cast<int>(strText.size()), &size);
    return size.cx;
}

void DrawLine(HDC hDC, const std::wstring& strText, RECT rect, UINT nFormat) {
    DrawTextW(hDC, strText.c_str(), static_cast<int>(strText.size()), &rect,
              nFormat | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

} // namespace

CMenuWindow::CMenuWindow(CDeadlineClock& clock) : COverlayWindow(clock) {}

CMenuWindow::~CMenuWindow() {
    for (const HFONT hFont : {m_hFont, m_hTitleFont}) {
        if (hFont != nullptr) {
            DeleteObject(hFont);
        }
    }
}

unsigned CMenuWindow::TextPercent() {
    DWORD dwValue = 0;
    DWORD dwSize = sizeof(dwValue);
    if (RegGetValueA(HKEY_CURRENT_USER, settings::USER_KEY, settings::VALUE_MENU_TEXT_HEIGHT,
                     RRF_RT_REG_DWORD, nullptr, &dwValue, &dwSize) != ERROR_SUCCESS) {
        return DEFAULT_TEXT_PERCENT;
    }
    return std::clamp(static_cast<unsigned>(dwValue), MIN_TEXT_PERCENT, MAX_TEXT_PERCENT);
}

CMenuWindow::Colours CMenuWindow::CurrentColours() {
    HIGHCONTRASTW contrast;
    ZeroMemory(&contrast, sizeof(contrast));
    contrast.cbSize = sizeof(contrast);
    if (SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
        (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0) {
        return {GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT),
                GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_HIGHLIGHTTEXT),
                GetSysColor(COLOR_WINDOWTEXT)};
    }
    return {BACKGROUND, FOREGROUND, SELECTED_BACKGROUND, FOREGROUND, FRAME};
}

bool CMenuWindow::Show(const CMenuModel& menu, HWND hForeground) {
    if (!Create(CLASS_NAME, false)) {
        return false;
    }
    SetPainter([this](HDC hDC, const RECT& client) {
        // Off screen first: a move redraws the whole window without a flicker.
        CDC target;
        target.Attach(hDC);
        CMemDC surface(target);
        Paint(surface.GetSafeHdc(), client);
    });
    SetOpacity(255);
    const HMONITOR hMonitor = hForeground != nullptr
                                  ? MonitorFromWindow(hForeground, MONITOR_DEFAULTTOPRIMARY)
                                  : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO monitor;
    ZeroMemory(&monitor, sizeof(monitor));
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoW(hMonitor, &monitor)) {
        return false;
    }
    const RECT& work = monitor.rcWork;
    if (!IsVisible()) {
        // The setting counts from the next opening; a move reads nothing.
        m_nTextPercent = TextPercent();
        // On that monitor first, so that the window reads the monitor's DPI.
        SetWindowPos(m_hWnd, nullptr, work.left, work.top, 1, 1, SWP_NOACTIVATE | SWP_NOZORDER);
    }
    const UINT nDpi = Dpi();
    m_nPadding = MulDiv(12, static_cast<int>(nDpi), 96);
    m_nFrame = MulDiv(3, static_cast<int>(nDpi), 96);
    // A share of the monitor's height in its own pixels; never smaller than
    // a dialog's text at this DPI.
    const int nMonitorHeight = monitor.rcMonitor.bottom - monitor.rcMonitor.top;
    MakeFonts((std::max)(nMonitorHeight * static_cast<int>(m_nTextPercent) / 100,
                         MulDiv(16, static_cast<int>(nDpi), 96)));
    TakeFrom(menu);
    const SIZE size = Measure(work);
    const int nX = work.left + (work.right - work.left - size.cx) / 2;
    const int nY = work.top + (work.bottom - work.top - size.cy) / 2;
    // The text first: a window that shows names what it shows at once.
    const std::wstring strText = widetext::Widen(menu.WindowText());
    if (strText != m_strText) {
        m_strText = strText;
        SetText(m_strText);
        // A screen reader says the new selection.
        NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, m_hWnd, OBJID_WINDOW, CHILDID_SELF);
    }
    ShowAt(RECT{nX, nY, nX + size.cx, nY + size.cy});
    InvalidateRect(m_hWnd, nullptr, FALSE);
    return true;
}

void CMenuWindow::MakeFonts(int nTextHeight) {
    if (m_hFont != nullptr && nTextHeight == m_nFontHeight) {
        return;
    }
    for (HFONT* pFont : {&m_hFont, &m_hTitleFont}) {
        if (*pFont != nullptr) {
            DeleteObject(*pFont);
        }
        const bool bTitle = pFont == &m_hTitleFont;
        *pFont = CreateFontW(-nTextHeight, 0, 0, 0, bTitle ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                             FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             CLEARTYPE_QUALITY, DEFAULT_PITCH, widetext::Widen(FONT_FACE).c_str());
    }
    m_nFontHeight = nTextHeight;
    m_nRowHeight = nTextHeight * 16 / 10;
}

void CMenuWindow::TakeFrom(const CMenuModel& menu) {
    m_strTitle = widetext::Widen(menu.Title());
    m_bKeyboard = menu.IsKeyboardShown();
    m_labels.clear();
    m_keys.clear();
    if (m_bKeyboard) {
        const COnScreenKeyboard& keyboard = menu.Keyboard();
        for (const auto& row : keyboard.Rows()) {
            m_keys.emplace_back();
            for (const COnScreenKeyboard::Key& key : row) {
                m_keys.back().push_back(widetext::Widen(COnScreenKeyboard::NameOf(key)));
            }
        }
        m_nKeyRow = keyboard.Row();
        m_nKeyColumn = keyboard.Column();
        m_bScanningRows = keyboard.IsScanningRows();
    } else {
        for (const CMenuModel::Entry& entry : menu.Entries()) {
            m_labels.push_back(widetext::Widen(entry.strLabel));
        }
        m_nSelected = menu.SelectedIndex();
    }
}

SIZE CMenuWindow::Measure(const RECT& work) {
    const int nWorkWidth = work.right - work.left;
    const int nWorkHeight = work.bottom - work.top;
    const int nTitleHeight = m_nRowHeight + m_nPadding;
    int nWidth = 0;
    int nRows = 0;
    const HDC hDC = GetDC(m_hWnd);
    const HGDIOBJ hOld = SelectObject(hDC, m_hTitleFont);
    nWidth = TextWidth(hDC, m_strTitle);
    SelectObject(hDC, m_hFont);
    if (m_bKeyboard) {
        // Each key as wide as its name, at least square.
        m_keyWidths.clear();
        for (const auto& row : m_keys) {
            m_keyWidths.emplace_back();
            int nRowWidth = 0;
            for (const std::wstring& strKey : row) {
                const int nKeyWidth = (std::max)(m_nRowHeight, TextWidth(hDC, strKey) + m_nPadding);
                m_keyWidths.back().push_back(nKeyWidth);
                nRowWidth += nKeyWidth + m_nFrame;
            }
            nWidth = (std::max)(nWidth, nRowWidth);
        }
        nRows = static_cast<int>(m_keys.size());
    } else {
        for (const std::wstring& strLabel : m_labels) {
            nWidth = (std::max)(nWidth, TextWidth(hDC, strLabel) + 2 * m_nPadding);
        }
        // A menu longer than the window scrolls, the selection kept in view.
        const int nMaxRows =
            (std::max)(1, (nWorkHeight * MAX_HEIGHT_TENTHS / 10 - nTitleHeight - 2 * m_nPadding) /
                              m_nRowHeight);
        m_nRowsShown = (std::min)(m_labels.size(), static_cast<std::size_t>(nMaxRows));
        m_nFirstShown = CMenuModel::FirstShown(m_nSelected, m_labels.size(), m_nRowsShown);
        nRows = static_cast<int>(m_nRowsShown);
    }
    SelectObject(hDC, hOld);
    ReleaseDC(m_hWnd, hDC);
    nWidth = std::clamp(nWidth + 2 * m_nPadding, m_nFontHeight * 10,
                        (std::max)(nWorkWidth * MAX_WIDTH_TENTHS / 10, m_nFontHeight * 10));
    const int nRowHeight = m_bKeyboard ? m_nRowHeight + m_nFrame : m_nRowHeight;
    return SIZE{nWidth, nTitleHeight + nRows * nRowHeight + 2 * m_nPadding};
}

void CMenuWindow::Paint(HDC hDC, const RECT& client) {
    const Colours colours = CurrentColours();
    FillSolid(hDC, client, colours.frame);
    RECT inner = client;
    InflateRect(&inner, -m_nFrame, -m_nFrame);
    FillSolid(hDC, inner, colours.background);
    SetBkMode(hDC, TRANSPARENT);
    const HGDIOBJ hOld = SelectObject(hDC, m_hTitleFont);
    SetTextColor(hDC, colours.text);
    RECT title = {client.left + m_nPadding, client.top + m_nPadding, client.right - m_nPadding,
                  client.top + m_nPadding + m_nRowHeight};
    DrawLine(hDC, m_strTitle, title, DT_CENTER);
    SelectObject(hDC, m_hFont);
    const int nTop = title.bottom + m_nPadding;
    if (m_bKeyboard) {
        PaintKeyboard(hDC, client, nTop, colours);
    } else {
        for (std::size_t nRow = 0; nRow < m_nRowsShown; ++nRow) {
            const std::size_t nEntry = m_nFirstShown + nRow;
            const int nY = nTop + static_cast<int>(nRow) * m_nRowHeight;
            RECT row = {client.left + m_nPadding, nY, client.right - m_nPadding, nY + m_nRowHeight};
            const bool bSelected = nEntry == m_nSelected;
            if (bSelected) {
                FillSolid(hDC, row, colours.selectedBackground);
            }
            SetTextColor(hDC, bSelected ? colours.selectedText : colours.text);
            row.left += m_nPadding;
            row.right -= m_nPadding;
            DrawLine(hDC, m_labels[nEntry], row, DT_LEFT);
        }
        // More above or below: a mark at the window's edge.
        SetTextColor(hDC, colours.text);
        if (m_nFirstShown > 0) {
            DrawLine(hDC, L"\u25B2", title, DT_RIGHT);
        }
        if (m_nFirstShown + m_nRowsShown < m_labels.size()) {
            RECT bottom = {title.left, client.bottom - m_nPadding - m_nRowHeight / 2, title.right,
                           client.bottom};
            DrawLine(hDC, L"\u25BC", bottom, DT_RIGHT);
        }
    }
    SelectObject(hDC, hOld);
}

void CMenuWindow::PaintKeyboard(HDC hDC, const RECT& client, int nTop, const Colours& colours) {
    for (std::size_t nRow = 0; nRow < m_keys.size(); ++nRow) {
        int nRowWidth = 0;
        for (const int nKeyWidth : m_keyWidths[nRow]) {
            nRowWidth += nKeyWidth + m_nFrame;
        }
        int nX = client.left + (client.right - client.left - nRowWidth) / 2;
        const int nY = nTop + static_cast<int>(nRow) * (m_nRowHeight + m_nFrame);
        // While rows are scanned the whole row is marked, else the key.
        const bool bRowMarked = m_bScanningRows && nRow == m_nKeyRow;
        for (std::size_t nColumn = 0; nColumn < m_keys[nRow].size(); ++nColumn) {
            const RECT key = {nX, nY, nX + m_keyWidths[nRow][nColumn], nY + m_nRowHeight};
            const bool bSelected =
                bRowMarked || (!m_bScanningRows && nRow == m_nKeyRow && nColumn == m_nKeyColumn);
            FillSolid(hDC, key, bSelected ? colours.selectedBackground : colours.frame);
            RECT face = key;
            InflateRect(&face, -1, -1);
            if (!bSelected) {
                FillSolid(hDC, face, colours.background);
            }
            SetTextColor(hDC, bSelected ? colours.selectedText : colours.text);
            DrawLine(hDC, m_keys[nRow][nColumn], face, DT_CENTER);
            nX = key.right + m_nFrame;
        }
    }
}
