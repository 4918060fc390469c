// A static control of a dialog: text, icon or picture.
#pragma once

#include <windows.h>

#include <string>

#include "CWnd.h"

class CStatic : public CWnd {
public:
    CStatic() = default;
    ~CStatic() override;

    // Takes over the control nID of pParent's window; PreSubclassWindow runs
    // once the object has it. False if the control does not exist or the
    // object already has a window. The object lets go of the control when
    // the control is destroyed, so it can take the next dialog's control.
    bool SubclassDlgItem(UINT nID, CWnd* pParent);

    // The picture of an SS_BITMAP control. SetBitmap returns the one shown
    // before; the caller keeps owning both.
    HBITMAP SetBitmap(HBITMAP hBitmap);
    HBITMAP GetBitmap() const;

    void SetWindowText(const std::string& strText);
    std::string GetWindowText() const;

protected:
    // A derived control adjusts its window here (styles, cached text).
    virtual void PreSubclassWindow() {}
};
