// A progress bar of a dialog, reached through the data exchange (DDX_Control).
// Its calls are plain messages to the control, so a worker thread may make
// them too: they are then handled by the control's own thread.
#pragma once

#include <windows.h>

#include "CWnd.h"

class CProgressCtrl : public CWnd {
public:
    CProgressCtrl() = default;
    ~CProgressCtrl() override;

    void SetRange32(int nLower, int nUpper);
    // The previous position.
    int SetPos(int nPos);
    // The previous step.
    int SetStep(int nStep);
    // Advances by the step; the previous position.
    int StepIt();
};
