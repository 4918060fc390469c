// Overlapped reads of a serial port on one thread, each ended at once by a
// stop event. The read event is made once, for all reads of the thread that
// owns the reader.
#pragma once

#include <windows.h>

class CSerialReader {
public:
    enum Outcome : int { READ_DONE, READ_STOPPED, READ_TIMED_OUT, READ_FAILED };

    explicit CSerialReader(HANDLE hStopEvent);
    ~CSerialReader();
    CSerialReader(const CSerialReader&) = delete;
    CSerialReader& operator=(const CSerialReader&) = delete;

    // One read of up to dwWant bytes, which ends as the port's time-outs say,
    // on the stop event, or after dwWaitMs (INFINITE: never). *pdwRead is
    // what came (also when it did not end well); *pdwError the failing call's error for
    // READ_FAILED. The system is done with the buffer when this returns, whatever the outcome.
    Outcome Read(HANDLE hPort, BYTE* pBuffer, DWORD dwWant, DWORD dwWaitMs, DWORD* pdwRead,
                 DWORD* pdwError);

private:
    HANDLE m_hStopEvent;
    HANDLE m_hReadEvent;
    DWORD m_dwCreateError;
};
