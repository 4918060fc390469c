// The picture of a remote control with outlines on some of its keys, drawn
// centred in a rectangle at the scale that suits the window's DPI. The test
// dialog marks the keys it receives; the key-map editor rings the keys set
// and the one selected, and asks which key a click hit.
#pragma once

#include <windows.h>

#include "CBitmap.h"

class CDC;

class CRemotePicture {
public:
    // An outline's colour and width, the width in pixels at 1x.
    struct Pen {
        COLORREF colour;
        int nWidth;
    };

    CRemotePicture();
    ~CRemotePicture();
    CRemotePicture(const CRemotePicture&) = delete;
    CRemotePicture& operator=(const CRemotePicture&) = delete;

    // Loads the picture of nRcType (settings' RcType) drawn for nDpi, unless
    // it is the one loaded already.
    void Load(int nRcType, UINT nDpi);
    bool IsLoaded() const { return m_nHalves != 0; }
    int GetRcType() const { return m_nRcType; }
    // The scale the picture and its marks are drawn at (dpi::HALVES_1X: 1x),
    // 1x before a picture is loaded.
    int GetHalves() const;
    // The picture's size in pixels; 0 x 0 without one.
    SIZE GetSize() const;

    // Fills rc with the background and draws the picture centred in it.
    void Draw(CDC& dc, const RECT& rc) const;
    // Outlines the key's place on the picture centred in rc, so the key stays
    // visible under it; a key of the other remote control has no place.
    void DrawMark(CDC& dc, const RECT& rc, int nKey, Pen pen) const;
    // A round ring nInset pixels (at 1x) inside the key's outline.
    void DrawInnerRing(CDC& dc, const RECT& rc, int nKey, Pen pen, int nInset) const;
    // The key under pt on the picture centred in rc; 0 for none.
    int KeyAt(const RECT& rc, POINT pt) const;

private:
    void Outline(CDC& dc, const RECT& rc, int nKey, Pen pen, int nInset) const;

    CBitmap m_bitmap;
    HBRUSH m_brBackground;
    int m_nRcType = 0;
    // The scale asked for and the one loaded, in halves; 0 before loading.
    int m_nWanted = 0;
    int m_nHalves = 0;
};
