#include "CSerialLine.h"

namespace {

CSerialLine::Result Failed(CSerialLine::Step step) {
    CSerialLine::Result result;
    result.step = step;
    result.dwError = GetLastError();
    return result;
}

} // namespace

std::string CSerialLine::DeviceName(int nPort) {
    return "\\\\.\\COM" + std::to_string(nPort);
}

HANDLE CSerialLine::OpenDevice(const char* pszDevice) {
    return CreateFileA(pszDevice, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                       FILE_FLAG_OVERLAPPED, nullptr);
}

CSerialLine::Result CSerialLine::Configure(HANDLE hPort, const Settings& settings) {
    DCB dcb{};
    dcb.DCBlength = sizeof(dcb);
    if (!GetCommState(hPort, &dcb)) {
        return Failed(STEP_GET_STATE);
    }
    dcb.BaudRate = settings.dwBaudRate;
    dcb.ByteSize = settings.byByteSize;
    dcb.Parity = settings.byParity;
    dcb.StopBits = settings.byStopBits;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    // The lines are set below, by hand.
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    dcb.fTXContinueOnXoff = TRUE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fAbortOnError = FALSE;

    // Best effort: the driver's own time-outs serve if it takes none.
    COMMTIMEOUTS timeouts{};
    GetCommTimeouts(hPort, &timeouts);
    timeouts.ReadIntervalTimeout = settings.readTimeouts.dwIntervalMs;
    timeouts.ReadTotalTimeoutMultiplier = settings.readTimeouts.dwTotalMultiplierMs;
    timeouts.ReadTotalTimeoutConstant = settings.readTimeouts.dwTotalConstantMs;
    SetCommTimeouts(hPort, &timeouts);

    if (!SetCommState(hPort, &dcb)) {
        return Failed(STEP_SET_STATE);
    }
    if (settings.dwEventMask != 0 && !SetCommMask(hPort, settings.dwEventMask)) {
        return Failed(STEP_SET_EVENT_MASK);
    }

    const bool bRequired = settings.bPreparationRequired;
    if (!SetupComm(hPort, settings.queueSizes.dwInput, settings.queueSizes.dwOutput) && bRequired) {
        return Failed(STEP_SET_QUEUES);
    }
    if (!PurgeComm(hPort, PURGE_ALL) && bRequired) {
        return Failed(STEP_PURGE);
    }
    if (!EscapeCommFunction(hPort, SETDTR) && bRequired) {
        return Failed(STEP_SET_DTR);
    }
    if (!EscapeCommFunction(hPort, CLRRTS) && bRequired) {
        return Failed(STEP_CLEAR_RTS);
    }
    return Result();
}

CSerialLine::Result CSerialLine::Open(int nPort, const Settings& settings, HANDLE* phPort) {
    *phPort = INVALID_HANDLE_VALUE;
    const HANDLE hPort = OpenDevice(DeviceName(nPort).c_str());
    if (hPort == INVALID_HANDLE_VALUE) {
        return Failed(STEP_OPEN);
    }
    const Result result = Configure(hPort, settings);
    if (!result.IsOk()) {
        CloseHandle(hPort);
        return result;
    }
    *phPort = hPort;
    return result;
}
