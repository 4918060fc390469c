// The configuration dialog's two detections, as the user runs them: the port
// search (button "Auto Detect CommPort": which port hears the receiver, and
// which type of remote) and the address detection (button "Auto Detect
// Address"). It owns the worker that listens (CDetectWorker), the buttons'
// captions and states, the progress bar and the boxes that tell the user what
// to do; what is found goes to its Listener, on the dialog's thread.
#pragma once

#include <windows.h>

#include <cstdint>

#include "CDetectWorker.h"
#include "CPortOpener.h"
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

    // Called on the dialog's thread, except BeforeRead.
    class Listener {
    public:
        virtual int ShowMessage(const char* pszText, UINT nType) = 0;
        // The entries of the port list: the port search's progress range.
        virtual int PortCount() const = 0;
        // The port the address detection listens on.
        virtual int CommPort() const = 0;
        virtual void TypeDetected(int nType) = 0;
        virtual void PortDetected(int nPort) = 0;
        virtual void AddressDetected(std::uint16_t wAddress) = 0;
        // How the worker opens a port; null for the system's open.
        virtual CPortOpener::OpenFunction DeviceOpenFunction() const = 0;
        // On the worker's thread, before each read of an open port.
        virtual void BeforeRead(HANDLE hPort) = 0;

    protected:
        ~Listener() = default;
    };

    // dialog: the window whose controls 1001, 1002 and 1007 this drives and
    // to which the worker's messages go.
    CDetection(CWnd& dialog, Listener& listener);
    ~CDetection();
    CDetection(const CDetection&) = delete;
    CDetection& operator=(const CDetection&) = delete;

    // Control 1007, bound by the dialog's data exchange.
    CProgressCtrl& ProgressBar() { return m_progress; }

    // The buttons' clicks, the blink timer and the worker's messages.
    void OnAutoDetectCommPort();
    void OnAutoDetectAddress();
    void OnTimer(UINT_PTR nIDEvent);
    LRESULT OnPortDetected(WPARAM wParam, LPARAM lParam);
    LRESULT OnAddressDetected(WPARAM wParam, LPARAM lParam);
    LRESULT OnTypeDetected(WPARAM wParam, LPARAM lParam);

    // Starts the worker in the mode of the address flag; 1 when one runs.
    int Start();
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

    CWnd& m_dialog;
    Listener& m_listener;
    int m_bDetectAddress = 0;
    int m_bBlink = 0;
    CProgressCtrl m_progress;
    // Last: stopped before the progress bar it steps is let go.
    CDetectWorker m_detectWorker{*this};
};
