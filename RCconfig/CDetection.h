// The configuration dialog's two detections, as the user runs them: the port
// search (button "Auto Detect CommPort": which port hears the receiver, and
// which type of remote) and the address detection (button "Auto Detect
// Address"). It owns the worker that listens (CDetectWorker), the buttons'
// captions and states, the progress bar and the boxes that tell the user what
// to do; what is found the dialog reads from it, on the dialog's thread.
#pragma once

#include <windows.h>

#include <cstdint>

#include "CDetectWorker.h"
#include "CDetectionPort.h"
#include "CProgressCtrl.h"

class CWnd;

class CDetection : private CDetectWorker::Listener {
public:
    // From the worker to the dialog, which hands them to OnWorkerMessage.
    // WM_ADDRESS_DETECTED (posted): wParam the address, lParam 1 when found.
    // WM_PORT_DETECTED (posted): wParam 1 when found, lParam the last port
    // probed. WM_TYPE_DETECTED (sent, so that the type is shown before the
    // search goes on): wParam the type heard.
    enum : UINT {
        WM_ADDRESS_DETECTED = WM_USER + 5,
        WM_PORT_DETECTED = WM_USER + 6,
        WM_TYPE_DETECTED = WM_USER + 7
    };

    // dialog: the window whose controls 1001, 1002 and 1007 this drives, to
    // which the worker's messages go and which owns the boxes; port: how the
    // worker reaches a port.
    CDetection(CWnd& dialog, CDetectionPort& port);
    ~CDetection();
    CDetection(const CDetection&) = delete;
    CDetection& operator=(const CDetection&) = delete;

    // Control 1007, bound by the dialog's data exchange.
    CProgressCtrl& ProgressBar() { return m_progress; }

    // The buttons' clicks: the search's progress runs over nPortCount ports
    // (the entries of the port list); the address detection listens on
    // nCommPort.
    void OnAutoDetectCommPort(int nPortCount, int nCommPort);
    void OnAutoDetectAddress(int nCommPort);
    void OnTimer(UINT_PTR nIDEvent);

    // What the worker's messages say. The dialog shows what was found, then
    // has the end told: the user sees the port or the address before the box.
    // WM_PORT_DETECTED: whether a port was found, and which.
    static bool PortFound(WPARAM wParam, LPARAM lParam, int* pnPort);
    // WM_ADDRESS_DETECTED: whether an address was found, and which.
    static bool AddressFound(WPARAM wParam, LPARAM lParam, std::uint16_t* pwAddress);
    // WM_TYPE_DETECTED: the type heard.
    static int TypeHeard(WPARAM wParam) { return static_cast<int>(wParam); }
    // The end of a detection: the box that tells it, and the buttons back.
    void TellPortSearchEnded(bool bFound);
    void TellAddressDetectionEnded(bool bFound);

    // Starts the worker in the mode of the address flag, the address
    // detection on nCommPort; 1 when one runs.
    int Start(int nCommPort);
    // Stops a running worker and drops the results it posted; returns 1.
    int Stop();

private:
    // CDetectWorker::Listener, on the worker's thread.
    void DetectStep() override;
    void TypeDetected(int nType) override;
    void PortSearchEnded(bool bFound, int nLastPort) override;
    void AddressDetectionEnded(std::uint16_t wAddress, bool bFound) override;
    BOOL ReadPort(HANDLE hPort, BYTE* pBuffer, DWORD dwWant, DWORD* pdwRead) override;

    HWND Dialog() const;
    HWND Control(int nID) const;
    void SetCaption(int nID, const char* pszText) const;
    void Enable(int nID, BOOL bEnable) const;
    void ShowProgress(BOOL bShow) const;
    // Moves the focus as Tab would, so that the default frame follows it.
    void FocusControl(int nID) const;
    void DiscardResults() const;

    // A box owned by the dialog, with the utility's title.
    int ShowMessage(const char* pszText, UINT nType) const;

    CWnd& m_dialog;
    CDetectionPort& m_port;
    int m_nPortCount = 0;
    int m_bDetectAddress = 0;
    int m_bBlink = 0;
    CProgressCtrl m_progress;
    // Last: stopped before the progress bar it steps is let go.
    CDetectWorker m_detectWorker{*this};
};
