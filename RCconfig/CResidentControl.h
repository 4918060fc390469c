// Stops and restarts the resident program KV480 around the configuration
// dialog: KV480 holds the receiver's port, which the detections need, and
// reads the settings only when it starts.
#pragma once

#include <windows.h>

class CResidentControl {
public:
    // Why a restart failed before it could start KV480.
    static constexpr const char* CANNOT_READ_TEXT = "Cannot read from registry key.";
    enum class RestartResult {
        Idle,        // started, and idle in time
        NotIdle,     // not started, or not idle in time
        PathUnknown, // the installation folder could not be read: CANNOT_READ_TEXT
    };

    CResidentControl() = default;
    CResidentControl(const CResidentControl&) = delete;
    CResidentControl& operator=(const CResidentControl&) = delete;

    // Ends a running KV480: WM_CLOSE, then force after 3000 ms. TRUE when
    // none runs any more.
    BOOL Close();
    // Starts KV480 from the installation folder with "-nr"; Idle when it
    // became idle within 3000 ms.
    RestartResult Restart();
};
