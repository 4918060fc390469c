// A GDI bitmap owned by the object: loaded from the program's resources or
// created for a device context, deleted with the object.
#pragma once

#include <windows.h>

class CDC;

class CBitmap {
public:
    CBitmap() = default;
    virtual ~CBitmap();
    CBitmap(const CBitmap&) = delete;
    CBitmap& operator=(const CBitmap&) = delete;

    HBITMAP GetSafeHandle() const { return m_hBitmap; }

    // The bitmap resource nIDResource of the program's module. False if the
    // object already holds a bitmap or the resource cannot be loaded.
    // (windows.h renames it LoadBitmapA, for callers as well.)
    bool LoadBitmap(UINT nIDResource);
    // A bitmap in the format of the device context, nWidth x nHeight pixels.
    // False if the object already holds a bitmap or the creation fails.
    bool CreateCompatibleBitmap(const CDC& dc, int nWidth, int nHeight);
    // Size and format; false (and *pBitmap untouched) without a bitmap.
    bool GetBitmap(BITMAP* pBitmap) const;
    // Frees the bitmap; the object can load or create another afterwards.
    void DeleteObject();

private:
    HBITMAP m_hBitmap = nullptr;
};
