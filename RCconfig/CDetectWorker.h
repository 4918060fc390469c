// KV480cfg's detection worker: a thread that listens on the serial ports.
// The port search probes every port for a held key (which port hears the
// receiver, and which type of remote); the address detection listens on one
// port for clicked keys. What it finds goes to its Listener, on the worker's
// thread: the dialog passes it on to its own thread, so that all dialog state
// stays there.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "CCriticalSection.h"
#include "CPortOpener.h"
#include "CWorkerThread.h"

class CSerialReader;

class CDetectWorker {
public:
    // Called on the worker's thread.
    class Listener {
    public:
        // One step of the progress: a port probed, a reception counted.
        virtual void DetectStep() = 0;
        // A probe heard a remote of type nType; returns once it is shown.
        virtual void TypeDetected(int nType) = 0;
        // The ends of the two detections; not told after a stop request.
        virtual void PortSearchEnded(bool bFound, int nLastPort) = 0;
        virtual void AddressDetectionEnded(std::uint16_t wAddress, bool bFound) = 0;
        // One read of an open port; ReadPort of the worker unless the
        // listener stands in a read of its own.
        virtual BOOL ReadPort(HANDLE hPort, BYTE* pBuffer, DWORD dwWant, DWORD* pdwRead) = 0;

    protected:
        ~Listener() = default;
    };

    explicit CDetectWorker(Listener& listener);
    // Stops a worker that still runs: it uses the listener.
    ~CDetectWorker();
    CDetectWorker(const CDetectWorker&) = delete;
    CDetectWorker& operator=(const CDetectWorker&) = delete;

    // Starts the address detection on nPort (bAddressMode) or the port
    // search; pfnOpen opens the devices (null: the system's overlapped open).
    // True when a worker runs afterwards, also one that ran already.
    bool Start(bool bAddressMode, int nPort, CPortOpener::OpenFunction pfnOpen);
    // Asks the worker to stop and waits for it, within a bound; a worker
    // that does not end in time is terminated and its port closed.
    void Stop();
    bool IsRunning() const { return m_detectThread.IsRunning(); }

    // The worker's own read: returns when dwWant bytes came, after the port's
    // 2000 ms time-out, or at once on a stop request (then FALSE).
    BOOL ReadPort(HANDLE hPort, BYTE* pBuffer, DWORD dwWant, DWORD* pdwRead);

private:
    static unsigned WINAPI DetectThreadProc(void* pParam);
    void SearchPorts();
    BOOL ProbePort(int nPort);
    void DetectAddress();
    // Stores the handle in hPort as soon as the device is open, so that
    // whoever closes the port later finds it even after a failure further on.
    BOOL OpenCommPort(int nPort, std::atomic<HANDLE>& hPort);
    static void CloseCommPort(std::atomic<HANDLE>& hPort);
    bool IsStopRequested() const { return m_bStopDetect.load() != 0; }
    static HANDLE OpenDevice(int nPort, DWORD* pdwError);

    Listener& m_listener;
    CWorkerThread m_detectThread;
    // The worker's reader, while the worker runs.
    CSerialReader* m_pWorkerReader = nullptr;
    // Written by the owner's thread under m_csStop, read by the worker.
    std::atomic<int> m_bStopDetect{0};
    CCriticalSection m_csStop;
    // Set with m_bStopDetect: wakes the worker from a read or an open.
    HANDLE m_hStopEvent;
    // The last worker did not end within the stop's bound: its stop event
    // stays set and is left to it.
    bool m_bWorkerLeft = false;
    // What the worker does, fixed before it starts.
    bool m_bAddressMode = false;
    int m_nPort = 0;
    CPortOpener::OpenFunction m_pfnOpen = nullptr;
    // The port the worker has open; the owner's thread closes it when the
    // worker had to be terminated.
    std::atomic<HANDLE> m_hDetectPort{INVALID_HANDLE_VALUE};
};
