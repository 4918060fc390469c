#include "CSerialReader.h"

CSerialReader::CSerialReader(HANDLE hStopEvent)
    : m_hStopEvent(hStopEvent), m_hReadEvent(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      m_dwCreateError(m_hReadEvent == nullptr ? GetLastError() : ERROR_SUCCESS) {}

CSerialReader::~CSerialReader() {
    if (m_hReadEvent != nullptr) {
        CloseHandle(m_hReadEvent);
    }
}

CSerialReader::Outcome CSerialReader::Read(HANDLE hPort, BYTE* pBuffer, DWORD dwWant,
                                           DWORD dwWaitMs, DWORD* pdwRead, DWORD* pdwError) {
    *pdwRead = 0;
    *pdwError = ERROR_SUCCESS;
    if (m_hReadEvent == nullptr) {
        *pdwError = m_dwCreateError;
        return READ_FAILED;
    }
    OVERLAPPED ov{};
    ov.hEvent = m_hReadEvent;
    if (ReadFile(hPort, pBuffer, dwWant, nullptr, &ov)) {
        GetOverlappedResult(hPort, &ov, pdwRead, TRUE);
        return READ_DONE;
    }
    if (GetLastError() != ERROR_IO_PENDING) {
        *pdwError = GetLastError();
        return READ_FAILED;
    }
    // The stop comes first: a stopped thread does not hand on a late chunk.
    const HANDLE ahWait[] = {m_hStopEvent, m_hReadEvent};
    const DWORD dwWait = WaitForMultipleObjects(2, ahWait, FALSE, dwWaitMs);
    if (dwWait == WAIT_OBJECT_0 + 1) {
        if (GetOverlappedResult(hPort, &ov, pdwRead, FALSE)) {
            return READ_DONE;
        }
        *pdwError = GetLastError();
        return READ_FAILED;
    }
    Outcome outcome = READ_STOPPED;
    if (dwWait == WAIT_TIMEOUT) {
        outcome = READ_TIMED_OUT;
    } else if (dwWait != WAIT_OBJECT_0) {
        *pdwError = GetLastError();
        outcome = READ_FAILED;
    }
    // Also after a cancel the system must be done with ov and the buffer,
    // which live on the caller's stack; what came meanwhile is told all the same.
    CancelIo(hPort);
    GetOverlappedResult(hPort, &ov, pdwRead, TRUE);
    return outcome;
}
