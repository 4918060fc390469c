// A serial port as both programs use it: opened by number, overlapped, and set
// up from a line-settings record that each program passes. Open needs no
// window and no thread of its own, so it can run on any thread and its result
// be handed on.
#pragma once

#include <windows.h>

#include <string>

class CSerialLine {
public:
    struct ReadTimeouts {
        DWORD dwIntervalMs = 0;
        DWORD dwTotalMultiplierMs = 0;
        DWORD dwTotalConstantMs = 0;
    };
    struct QueueSizes {
        DWORD dwInput = 0;
        DWORD dwOutput = 0;
    };
    struct Settings {
        // The receiver's line format, the same for both programs: 9600 8N1.
        DWORD dwBaudRate = CBR_9600;
        BYTE byByteSize = 8;
        BYTE byParity = NOPARITY;
        BYTE byStopBits = ONESTOPBIT;
        ReadTimeouts readTimeouts;
        // 0 leaves the comm-event mask alone; otherwise setting it must work.
        DWORD dwEventMask = 0;
        QueueSizes queueSizes;
        // Queue sizes, purge, DTR on and RTS off: when false they are best
        // effort (some drivers reject one and read all the same); when true
        // the first that fails makes the port unusable.
        bool bPreparationRequired = false;
    };

    // The step that failed; STEP_NONE when all went well.
    enum Step : int {
        STEP_NONE = 0,
        STEP_OPEN,
        STEP_GET_STATE,
        STEP_SET_STATE,
        STEP_SET_EVENT_MASK,
        STEP_SET_QUEUES,
        STEP_PURGE,
        STEP_SET_DTR,
        STEP_CLEAR_RTS
    };
    struct Result {
        Step step = STEP_NONE;
        DWORD dwError = ERROR_SUCCESS;
        bool IsOk() const { return step == STEP_NONE; }
    };

    static constexpr DWORD PURGE_ALL =
        PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;

    // "\\.\COMn", which also reaches ports numbered above 9.
    static std::string DeviceName(int nPort);
    // An overlapped open for reading and writing without sharing, so that a
    // stop request can end a read at once.
    static HANDLE OpenDevice(const char* pszDevice);
    // Line format without flow control, the lines left to the program, the
    // read time-outs, then the preparation.
    static Result Configure(HANDLE hPort, const Settings& settings);
    // Opens port nPort and configures it. On success *phPort is the port; on
    // failure INVALID_HANDLE_VALUE, and a port that opened is closed again.
    static Result Open(int nPort, const Settings& settings, HANDLE* phPort);
};
