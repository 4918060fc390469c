#include "CProgressCtrl.h"

#include <commctrl.h>

CProgressCtrl::~CProgressCtrl() = default;

void CProgressCtrl::SetRange32(int nLower, int nUpper) {
    SendMessageA(m_hWnd, PBM_SETRANGE32, static_cast<WPARAM>(nLower), static_cast<LPARAM>(nUpper));
}

int CProgressCtrl::SetPos(int nPos) {
    return static_cast<int>(SendMessageA(m_hWnd, PBM_SETPOS, static_cast<WPARAM>(nPos), 0));
}

int CProgressCtrl::SetStep(int nStep) {
    return static_cast<int>(SendMessageA(m_hWnd, PBM_SETSTEP, static_cast<WPARAM>(nStep), 0));
}

int CProgressCtrl::StepIt() {
    return static_cast<int>(SendMessageA(m_hWnd, PBM_STEPIT, 0, 0));
}
