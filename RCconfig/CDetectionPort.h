// How the detections' worker reaches a port: the system's open, and nothing
// before each read. A test puts its own in the dialog, for an open or a read
// that hangs as a driver's can.
#pragma once

#include <windows.h>

#include "CPortOpener.h"

class CDetectionPort {
public:
    CDetectionPort() = default;
    CDetectionPort(const CDetectionPort&) = delete;
    CDetectionPort& operator=(const CDetectionPort&) = delete;
    virtual ~CDetectionPort() = default;

    // How the worker opens a port; null for the system's open. A plain
    // function: an abandoned open may end after the dialog is gone.
    virtual CPortOpener::OpenFunction OpenFunction() const { return nullptr; }
    // On the worker's thread, before each read of an open port.
    virtual void BeforeRead(HANDLE) {}
};
