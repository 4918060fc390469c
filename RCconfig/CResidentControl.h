// Stops and restarts the resident program KV480 around the configuration
// dialog: KV480 holds the receiver's port, which the detections need, and
// reads the settings only when it starts.
#pragma once

#include <windows.h>

class CResidentControl {
public:
    class Listener {
    public:
        // A failure the user must know of; the utility's message box.
        virtual int ShowMessage(const char* pszText, UINT nType) = 0;

    protected:
        ~Listener() = default;
    };

    explicit CResidentControl(Listener& listener) : m_listener(listener) {}
    CResidentControl(const CResidentControl&) = delete;
    CResidentControl& operator=(const CResidentControl&) = delete;

    // Ends a running KV480: WM_CLOSE, then force after 3000 ms. TRUE when
    // none runs any more.
    BOOL Close();
    // Starts KV480 from the installation folder with "-nr"; TRUE when it
    // became idle within 3000 ms.
    BOOL Restart();

private:
    Listener& m_listener;
};
