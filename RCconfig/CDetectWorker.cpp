#include "CDetectWorker.h"

#include "BluetoothPort.h"
#include "CAddressDetector.h"
#include "CPortEnum.h"
#include "CPortProbe.h"
#include "CSerialLine.h"
#include "CSerialReader.h"
#include "PortNumberFromName.h"

namespace {

// Beyond this a worker that was asked to stop is left to end by itself. A worker never
// waits for a hanging open (CPortOpener), so Stop, OK and Cancel answer
// within a second; the bound is for a worker that is stuck elsewhere, and a
// short one would give up on healthy workers on a busy machine.
constexpr DWORD STOP_TIMEOUT_MS = 4000;

// A read that the driver does not end in time is abandoned after this.
constexpr DWORD READ_GRACE_MS = 1000;

// Buffers the port enumeration fills.
constexpr int PORT_NAME_SIZE = 100;
constexpr int PORT_DESCRIPTION_SIZE = 100;
// The system's longest device instance id, 200 characters.
constexpr int PORT_INSTANCE_ID_SIZE = 201;

// Probing line: the receiver's line format (the record's 9600 8N1); every
// read ends after 2000 ms at the latest. Each step of the preparation must
// work, or the port is not probed.
constexpr DWORD READ_TIMEOUT_MS = 2000;
CSerialLine::Settings ProbingLine() {
    CSerialLine::Settings settings;
    settings.readTimeouts = {0, 0, READ_TIMEOUT_MS};
    settings.queueSizes = {1000, 0};
    settings.bPreparationRequired = true;
    return settings;
}

} // namespace

CDetectWorker::CDetectWorker(Listener& listener)
    : m_listener(listener), m_hStopEvent(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

CDetectWorker::~CDetectWorker() {
    Stop();
    // A worker that is still there may yet wait on the event.
    if (m_hStopEvent != nullptr && !m_bWorkerLeft) {
        CloseHandle(m_hStopEvent);
    }
}

bool CDetectWorker::Start(bool bAddressMode, int nPort, CPortOpener::OpenFunction pfnOpen) {
    if (m_detectThread.IsRunning()) {
        return true;
    }
    m_csStop.Lock();
    m_bStopDetect = 0;
    m_csStop.Unlock();
    if (m_bWorkerLeft) {
        m_hStopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        m_bWorkerLeft = false;
    }
    ResetEvent(m_hStopEvent);
    m_bAddressMode = bAddressMode;
    m_nPort = nPort;
    m_pfnOpen = pfnOpen != nullptr ? pfnOpen : &CDetectWorker::OpenDevice;
    return m_detectThread.Start(&CDetectWorker::DetectThreadProc, this);
}

void CDetectWorker::Stop() {
    if (!m_detectThread.IsRunning()) {
        return;
    }
    m_csStop.Lock();
    m_bStopDetect = 1;
    m_csStop.Unlock();
    // The worker sends messages to the dialog's controls and waits for them,
    // which the stop handles while it waits.
    m_bWorkerLeft = !m_detectThread.Stop(m_hStopEvent, STOP_TIMEOUT_MS);
    // A worker that is late has its port taken from it, which ends what it
    // waits for there.
    CloseCommPort(m_hDetectPort);
}

unsigned WINAPI CDetectWorker::DetectThreadProc(void* pParam) {
    auto* pWorker = static_cast<CDetectWorker*>(pParam);
    // One read event for all reads of this worker.
    CSerialReader reader(pWorker->m_hStopEvent);
    pWorker->m_pWorkerReader = &reader;
    if (pWorker->m_bAddressMode) {
        pWorker->DetectAddress();
    } else {
        pWorker->SearchPorts();
    }
    pWorker->m_pWorkerReader = nullptr;
    return 1;
}

void CDetectWorker::SearchPorts() {
    bool bFound = false;
    int nPort = 0;
    {
        CPortEnum ports;
        char szName[PORT_NAME_SIZE];
        char szDescription[PORT_DESCRIPTION_SIZE];
        char szInstanceId[PORT_INSTANCE_ID_SIZE];
        while (!IsStopRequested() && ports.Next(szName, szDescription, sizeof(szDescription),
                                                szInstanceId, sizeof(szInstanceId))) {
            // Opening a Bluetooth port connects to a remote device and takes
            // up to half a minute; the receiver is never one. It stays in the
            // list for a manual choice.
            if (IsBluetoothPort(szInstanceId)) {
                m_listener.DetectStep();
                continue;
            }
            nPort = PortNumberFromName(szName, sizeof(szName));
            if (ProbePort(nPort)) {
                bFound = true;
                break;
            }
            m_listener.DetectStep();
        }
    }
    if (!IsStopRequested()) {
        m_listener.PortSearchEnded(bFound, nPort);
    }
}

BOOL CDetectWorker::ProbePort(int nPort) {
    CPortProbe probe;
    if (OpenCommPort(nPort, m_hDetectPort)) {
        BYTE abyBytes[CPortProbe::READ_BYTES];
        while (!probe.IsDecided() && !IsStopRequested()) {
            DWORD dwRead = 0;
            const BOOL bRead =
                m_listener.ReadPort(m_hDetectPort, abyBytes, sizeof(abyBytes), &dwRead);
            probe.AddRead(bRead != FALSE, abyBytes, dwRead);
        }
    }
    CloseCommPort(m_hDetectPort);
    if (probe.GetType() == CPortProbe::TYPE_NONE) {
        return FALSE;
    }
    m_listener.TypeDetected(probe.GetType());
    return TRUE;
}

void CDetectWorker::DetectAddress() {
    CAddressDetector detector;
    if (OpenCommPort(m_nPort, m_hDetectPort)) {
        BYTE abyBytes[CAddressDetector::READ_BYTES];
        while (detector.WantsMoreReads() && !IsStopRequested()) {
            DWORD dwRead = 0;
            const BOOL bRead =
                m_listener.ReadPort(m_hDetectPort, abyBytes, sizeof(abyBytes), &dwRead);
            if (detector.AddRead(bRead != FALSE, abyBytes, dwRead)) {
                m_listener.DetectStep();
            }
        }
    }
    CloseCommPort(m_hDetectPort);
    if (!IsStopRequested()) {
        m_listener.AddressDetectionEnded(detector.GetAddress(), detector.IsFound());
    }
}

HANDLE CDetectWorker::OpenDevice(int nPort, DWORD* pdwError) {
    const HANDLE hDevice = CSerialLine::OpenDevice(CSerialLine::DeviceName(nPort).c_str());
    *pdwError = hDevice == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
    return hDevice;
}

BOOL CDetectWorker::OpenCommPort(int nPort, std::atomic<HANDLE>& hPort) {
    // A stop request does not wait for an open that hangs (a Bluetooth port).
    CPortOpener opener(m_pfnOpen);
    DWORD dwError = ERROR_SUCCESS;
    const HANDLE hDevice = opener.Open(nPort, m_hStopEvent, &dwError);
    if (hDevice == INVALID_HANDLE_VALUE) {
        return FALSE;
    }
    hPort = hDevice;
    return CSerialLine::Configure(hDevice, ProbingLine()).IsOk() ? TRUE : FALSE;
}

void CDetectWorker::CloseCommPort(std::atomic<HANDLE>& hPort) {
    // Whoever takes the handle closes it: the worker, or the owner's thread
    // for a worker that is late.
    const HANDLE hDevice = hPort.exchange(INVALID_HANDLE_VALUE);
    if (hDevice != INVALID_HANDLE_VALUE) {
        PurgeComm(hDevice, CSerialLine::PURGE_ALL);
        CloseHandle(hDevice);
    }
}

BOOL CDetectWorker::ReadPort(HANDLE hPort, BYTE* pBuffer, DWORD dwWant, DWORD* pdwRead) {
    *pdwRead = 0;
    if (m_pWorkerReader == nullptr) {
        return FALSE;
    }
    DWORD dwError = ERROR_SUCCESS;
    return m_pWorkerReader->Read(hPort, pBuffer, dwWant, READ_TIMEOUT_MS + READ_GRACE_MS, pdwRead,
                                 &dwError) == CSerialReader::READ_DONE
               ? TRUE
               : FALSE;
}
