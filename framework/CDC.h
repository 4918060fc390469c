// A device context. The object either owns its context (made by
// CreateCompatibleDC, deleted with the object) or borrows one with Attach
// (a paint or window context, released by whoever got it), which Detach gives
// back before the object ends.
#pragma once

#include <windows.h>

#include <string>

class CDC {
public:
    CDC() = default;
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }

    // Borrows hDC: the object draws into it but never deletes it. False if
    // the object already has a context.
    bool Attach(HDC hDC);
    // Gives a borrowed (or owned) context up without deleting it.
    HDC Detach();
    // A memory context compatible with pDC (the screen when pDC is null),
    // owned by the object.
    bool CreateCompatibleDC(const CDC* pDC);
    // Deletes an owned context; a borrowed one is only detached.
    void DeleteDC();

    // A printer's context (drawn directly, never through an off-screen copy).
    bool IsPrinting() const;

    HGDIOBJ SelectObject(HGDIOBJ hObject);
    HGDIOBJ SelectStockObject(int nIndex);

    int GetClipBox(RECT* pRect) const;
    POINT SetWindowOrg(int x, int y);

    void FillRect(const RECT& rect, HBRUSH hBrush);
    bool BitBlt(int x, int y, int nWidth, int nHeight, const CDC* pSrcDC, int xSrc, int ySrc,
                DWORD dwRop);
    bool Rectangle(const RECT& rect);
    bool Ellipse(const RECT& rect);
    bool RoundRect(const RECT& rect, int nCornerWidth, int nCornerHeight);

    int SetBkMode(int nMode);
    COLORREF SetTextColor(COLORREF color);
    bool TextOut(int x, int y, const std::string& strText);
    SIZE GetTextExtent(const std::string& strText) const;

    HDC m_hDC = nullptr;

private:
    bool m_bOwned = false;
};
