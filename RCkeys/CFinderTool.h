// The finder: a cross-hair the user drags onto another program's window. On
// release the owner dialog gets WM_FINDER_DROPPED with the window under the
// pointer.
#pragma once

#include <windows.h>

#include "CWnd.h"

class CFinderTool : public CWnd {
protected:
    const framework::MessageMap* GetMessageMap() const override;

private:
    LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonUp(WPARAM wParam, LPARAM lParam);
    LRESULT OnCaptureChanged(WPARAM wParam, LPARAM lParam);
    void OnPaint();

    bool m_bDragging = false;
};
