// Serves KV480's key events in LIRC's line protocol to programs on this PC
// (TCP on 127.0.0.1 and ::1 only). A thread of its own owns every socket: the
// main thread only formats a line and queues it, so no client, however slow
// or hostile, can hold up the dispatch of a key to its window; nor can a
// flood of client traffic crowd the main window's message queue, as
// WSAAsyncSelect to that window would.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "CCriticalSection.h"
#include "CLircProtocol.h"
#include "IKeyEventSink.h"

class CLircServer : public IKeyEventSink {
public:
    // Clients served at once; one more is closed as soon as it connects.
    static constexpr std::size_t MAX_CLIENTS = 16;
    // A port that another program holds is tried again this often.
    static constexpr DWORD RETRY_MS = 30000;

    CLircServer();
    ~CLircServer();
    CLircServer(const CLircServer&) = delete;
    CLircServer& operator=(const CLircServer&) = delete;

    // Starts the thread that listens on nPort (0: does nothing) and serves
    // the clients. If the port is taken, nTakenMsg (wParam: the port) is
    // posted to hNotify once; the thread keeps trying quietly.
    bool Start(std::uint16_t nPort, std::uint32_t dwAddress, HWND hNotify, UINT nTakenMsg);
    // Sends what is queued, closes every socket and ends the thread.
    void Stop();
    // While KV480's session is away from the console the port belongs to the
    // console's KV480: bAway stops the server as Stop does, and its end
    // starts it again as it was started.
    void SetSessionAway(bool bAway);

    // Whether the port is held by another program right now.
    bool IsPortTaken() const { return m_bPortTaken; }
    // Of those, whether Windows reserved it: no program holds it.
    bool IsPortReserved() const { return m_bPortReserved; }
    std::uint16_t Port() const { return m_nPort; }

    // A decoded key event and the release of a held key, from the main
    // thread: queued for every connected client.
    void KeyEvent(int nKey, int nRepeat) override;
    void KeyRelease(int nKey) override;

private:
    class Session;
    static unsigned WINAPI ThreadProc(void* pParam);
    void Queue(const std::string& strLine);
    // For the thread: the lines queued since the last call; false once Stop
    // has been asked for.
    bool TakeQueued(std::string& strLines);

    CLircProtocol m_protocol;
    std::uint16_t m_nPort = 0;
    std::uint32_t m_dwAddress = 0;
    bool m_bAway = false;
    HWND m_hNotify = nullptr;
    UINT m_nTakenMsg = 0;
    HANDLE m_hThread = nullptr;
    // Set for new lines and for the stop.
    HANDLE m_hWake = nullptr;
    CCriticalSection m_csQueue;
    std::string m_strQueued;
    bool m_bStop = false;
    std::atomic<bool> m_bPortTaken{false};
    std::atomic<bool> m_bPortReserved{false};
    // Clients connected; no line is queued while there is none.
    std::atomic<int> m_nClients{0};
};
