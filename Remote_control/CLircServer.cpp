// Winsock before <windows.h>, which would otherwise bring in the old winsock.h.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "CLircServer.h"

#include "CLircClientBuffer.h"
#include "ClassifyLircBind.h"

#include <iphlpapi.h>

#include <process.h>

#include <memory>
#include <vector>

namespace {

// What VERSION answers.
const char* const VERSION_TEXT = "KV480 6.1";
// Reads of one client per wake-up: a client that never stops sending must
// not starve the others.
const int MAX_READS_PER_WAKE = 16;
const int READ_CHUNK = 512;
const int SEND_CHUNK = 16 * 1024;
// A wait that fails (it should not) must not turn into a busy loop.
const DWORD WAIT_FAILED_PAUSE_MS = 100;

enum class ListenResult { Listening, Taken, Reserved, Failed };

struct Listener {
    SOCKET socket;
    WSAEVENT event;
};

struct Client {
    SOCKET socket = INVALID_SOCKET;
    WSAEVENT event = WSA_INVALID_EVENT;
    CLircClientBuffer buffer;
    bool bDrop = false;
};

// Whether any socket on this PC listens on the port, of either family.
bool IsListenedOn(std::uint16_t nPort) {
    for (const ULONG family : {static_cast<ULONG>(AF_INET), static_cast<ULONG>(AF_INET6)}) {
        ULONG nSize = 0;
        GetExtendedTcpTable(nullptr, &nSize, FALSE, family, TCP_TABLE_BASIC_LISTENER, 0);
        // Room for a few more that start meanwhile.
        std::vector<char> table(nSize + 16 * sizeof(MIB_TCP6ROW));
        nSize = static_cast<ULONG>(table.size());
        if (nSize == 0 || GetExtendedTcpTable(table.data(), &nSize, FALSE, family,
                                              TCP_TABLE_BASIC_LISTENER, 0) != NO_ERROR) {
            // Unknown: the usual reason stands.
            return true;
        }
        if (family == AF_INET) {
            const auto* pTable = reinterpret_cast<const MIB_TCPTABLE*>(table.data());
            for (DWORD i = 0; i < pTable->dwNumEntries; ++i) {
                if (ntohs(static_cast<u_short>(pTable->table[i].dwLocalPort)) == nPort) {
                    return true;
                }
            }
        } else {
            const auto* pTable = reinterpret_cast<const MIB_TCP6TABLE*>(table.data());
            for (DWORD i = 0; i < pTable->dwNumEntries; ++i) {
                if (ntohs(static_cast<u_short>(pTable->table[i].dwLocalPort)) == nPort) {
                    return true;
                }
            }
        }
    }
    return false;
}

void CloseSocket(SOCKET s, WSAEVENT e) {
    closesocket(s);
    if (e != WSA_INVALID_EVENT) {
        WSACloseEvent(e);
    }
}

} // namespace

// The thread's state: listeners, clients and the retry of a taken port.
class CLircServer::Session {
public:
    explicit Session(CLircServer& server) : m_server(server) {}
    ~Session();
    void Run();

private:
    ListenResult Listen();
    // bOptional: an address this PC lacks (no IPv6) is no failure.
    ListenResult ListenOn(const sockaddr* pAddress, int nLength, bool bOptional);
    void Accept(const Listener& listener);
    void Read(Client& client);
    void Flush(Client& client);
    void QueueToAll(const std::string& strText);
    void DropClosed();
    void CloseListeners();

    CLircServer& m_server;
    std::vector<Listener> m_listeners;
    std::vector<std::unique_ptr<Client>> m_clients;
};

CLircServer::Session::~Session() {
    for (const auto& client : m_clients) {
        // Lets the client read what was sent before it sees the end.
        shutdown(client->socket, SD_SEND);
        CloseSocket(client->socket, client->event);
    }
    m_server.m_nClients = 0;
    CloseListeners();
}

void CLircServer::Session::Run() {
    bool bToldTaken = false;
    ULONGLONG ullNextTry = 0;
    std::string strLines;
    for (;;) {
        if (m_listeners.empty() && GetTickCount64() >= ullNextTry) {
            const ListenResult result = Listen();
            m_server.m_bPortReserved = result == ListenResult::Reserved;
            m_server.m_bPortTaken = result == ListenResult::Taken || m_server.m_bPortReserved;
            if (m_server.m_bPortTaken && !bToldTaken) {
                bToldTaken = true;
                PostMessageA(m_server.m_hNotify, m_server.m_nTakenMsg, m_server.m_nPort, 0);
            }
            ullNextTry = GetTickCount64() + RETRY_MS;
        }
        std::vector<WSAEVENT> events{m_server.m_hWake};
        for (const Listener& listener : m_listeners) {
            events.push_back(listener.event);
        }
        for (const auto& client : m_clients) {
            events.push_back(client->event);
        }
        DWORD dwTimeout = WSA_INFINITE;
        if (m_listeners.empty()) {
            const ULONGLONG ullNow = GetTickCount64();
            dwTimeout = ullNextTry > ullNow ? static_cast<DWORD>(ullNextTry - ullNow) : 0;
        }
        const DWORD dwWait = WSAWaitForMultipleEvents(static_cast<DWORD>(events.size()),
                                                      events.data(), FALSE, dwTimeout, FALSE);
        // The lowest signalled event: the sockets before it have nothing to
        // report. Woken for lines alone, the sockets are not asked at all (a
        // key costs no more than its sends); a signalled one ends the next
        // wait at once.
        std::size_t nFirst = events.size();
        if (dwWait >= WSA_WAIT_EVENT_0 && dwWait < WSA_WAIT_EVENT_0 + events.size()) {
            nFirst = dwWait - WSA_WAIT_EVENT_0;
        } else if (dwWait == WSA_WAIT_FAILED) {
            Sleep(WAIT_FAILED_PAUSE_MS);
        }

        const bool bGoOn = m_server.TakeQueued(strLines);
        QueueToAll(strLines);
        if (bGoOn && nFirst > 0) {
            std::size_t nIndex = 1;
            for (const Listener& listener : m_listeners) {
                WSANETWORKEVENTS happened;
                if (nIndex++ >= nFirst &&
                    WSAEnumNetworkEvents(listener.socket, listener.event, &happened) == 0 &&
                    (happened.lNetworkEvents & FD_ACCEPT) != 0) {
                    Accept(listener);
                }
            }
            for (const auto& client : m_clients) {
                WSANETWORKEVENTS happened;
                if (nIndex++ >= nFirst &&
                    WSAEnumNetworkEvents(client->socket, client->event, &happened) == 0 &&
                    (happened.lNetworkEvents & (FD_READ | FD_CLOSE)) != 0) {
                    Read(*client);
                }
            }
        }
        for (const auto& client : m_clients) {
            Flush(*client);
        }
        DropClosed();
        if (!bGoOn) {
            return;
        }
    }
}

ListenResult CLircServer::Session::Listen() {
    sockaddr_in v4 = {};
    v4.sin_family = AF_INET;
    v4.sin_port = htons(m_server.m_nPort);
    v4.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    sockaddr_in6 v6 = {};
    v6.sin6_family = AF_INET6;
    v6.sin6_port = htons(m_server.m_nPort);
    v6.sin6_addr = in6addr_loopback;
    ListenResult result =
        ListenOn(reinterpret_cast<const sockaddr*>(&v4), static_cast<int>(sizeof(v4)), false);
    if (result == ListenResult::Listening) {
        result =
            ListenOn(reinterpret_cast<const sockaddr*>(&v6), static_cast<int>(sizeof(v6)), true);
    }
    if (result != ListenResult::Listening) {
        // A client of "localhost" must not reach another program on one
        // family and KV480 on the other: both or none.
        CloseListeners();
    }
    return result;
}

ListenResult CLircServer::Session::ListenOn(const sockaddr* pAddress, int nLength, bool bOptional) {
    const SOCKET s = socket(pAddress->sa_family, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) {
        return bOptional ? ListenResult::Listening : ListenResult::Failed;
    }
    // No other program may bind the same port beside us and take clients.
    BOOL bOn = TRUE;
    setsockopt(s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&bOn),
               static_cast<int>(sizeof(bOn)));
    if (pAddress->sa_family == AF_INET6) {
        setsockopt(s, IPPROTO_IPV6, IPV6_V6ONLY, reinterpret_cast<const char*>(&bOn),
                   static_cast<int>(sizeof(bOn)));
    }
    if (bind(s, pAddress, nLength) != 0) {
        const int nError = WSAGetLastError();
        closesocket(s);
        switch (ClassifyLircBind(nError, nError == WSAEACCES && IsListenedOn(m_server.m_nPort))) {
        case LircBind::Taken:
            return ListenResult::Taken;
        case LircBind::Reserved:
            return ListenResult::Reserved;
        case LircBind::Failed:
            break;
        }
        // ::1 absent or unusable (IPv6 switched off) is no failure of the
        // listener: 127.0.0.1 serves.
        return bOptional ? ListenResult::Listening : ListenResult::Failed;
    }
    const WSAEVENT e = WSACreateEvent();
    if (e == WSA_INVALID_EVENT || listen(s, SOMAXCONN) != 0 ||
        WSAEventSelect(s, e, FD_ACCEPT) != 0) {
        CloseSocket(s, e);
        return ListenResult::Failed;
    }
    m_listeners.push_back({s, e});
    return ListenResult::Listening;
}

void CLircServer::Session::Accept(const Listener& listener) {
    for (;;) {
        const SOCKET s = accept(listener.socket, nullptr, nullptr);
        if (s == INVALID_SOCKET) {
            return;
        }
        if (m_clients.size() >= MAX_CLIENTS) {
            closesocket(s);
            continue;
        }
        auto client = std::make_unique<Client>();
        client->socket = s;
        client->event = WSACreateEvent();
        // Replaces the listener's selection, which the socket inherits; also
        // keeps it non-blocking.
        if (client->event == WSA_INVALID_EVENT ||
            WSAEventSelect(s, client->event, FD_READ | FD_WRITE | FD_CLOSE) != 0) {
            CloseSocket(s, client->event);
            continue;
        }
        // Each line is a key: send it now, not with the next one.
        BOOL bOn = TRUE;
        setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&bOn),
                   static_cast<int>(sizeof(bOn)));
        m_clients.push_back(std::move(client));
        ++m_server.m_nClients;
    }
}

void CLircServer::Session::Read(Client& client) {
    char achChunk[READ_CHUNK];
    for (int i = 0; i < MAX_READS_PER_WAKE && !client.bDrop; ++i) {
        const int nRead = recv(client.socket, achChunk, static_cast<int>(sizeof(achChunk)), 0);
        if (nRead == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) {
            return;
        }
        if (nRead <= 0) {
            client.bDrop = true;
            return;
        }
        std::vector<std::string> lines;
        client.bDrop = !client.buffer.Receive(achChunk, static_cast<std::size_t>(nRead), lines);
        for (const std::string& line : lines) {
            if (!client.bDrop && !client.buffer.Queue(m_server.m_protocol.Reply(line))) {
                client.bDrop = true;
            }
        }
    }
}

void CLircServer::Session::Flush(Client& client) {
    while (!client.bDrop && client.buffer.PendingSize() > 0) {
        const std::size_t nSize = client.buffer.PendingSize();
        const int nSend =
            nSize < static_cast<std::size_t>(SEND_CHUNK) ? static_cast<int>(nSize) : SEND_CHUNK;
        const int nSent = send(client.socket, client.buffer.Pending(), nSend, 0);
        if (nSent == SOCKET_ERROR) {
            // Would block: FD_WRITE comes when the client has read some.
            client.bDrop = WSAGetLastError() != WSAEWOULDBLOCK;
            return;
        }
        client.buffer.Sent(static_cast<std::size_t>(nSent));
    }
}

void CLircServer::Session::QueueToAll(const std::string& strText) {
    if (strText.empty()) {
        return;
    }
    for (const auto& client : m_clients) {
        // A client that does not read is dropped, not waited for.
        if (!client->buffer.Queue(strText)) {
            client->bDrop = true;
        }
    }
}

void CLircServer::Session::DropClosed() {
    for (auto it = m_clients.begin(); it != m_clients.end();) {
        if ((*it)->bDrop) {
            CloseSocket((*it)->socket, (*it)->event);
            it = m_clients.erase(it);
            --m_server.m_nClients;
        } else {
            ++it;
        }
    }
}

void CLircServer::Session::CloseListeners() {
    for (const Listener& listener : m_listeners) {
        CloseSocket(listener.socket, listener.event);
    }
    m_listeners.clear();
}

CLircServer::CLircServer() : m_protocol(VERSION_TEXT) {}

CLircServer::~CLircServer() {
    Stop();
}

bool CLircServer::Start(std::uint16_t nPort, std::uint32_t dwAddress, HWND hNotify,
                        UINT nTakenMsg) {
    if (nPort == 0 || m_hThread != nullptr) {
        return false;
    }
    m_nPort = nPort;
    m_dwAddress = dwAddress;
    m_hNotify = hNotify;
    m_nTakenMsg = nTakenMsg;
    m_protocol.SetAddress(dwAddress);
    m_bStop = false;
    m_hWake = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (m_hWake == nullptr) {
        return false;
    }
    unsigned nThreadId = 0;
    m_hThread = reinterpret_cast<HANDLE>(
        _beginthreadex(nullptr, 0, &CLircServer::ThreadProc, this, 0, &nThreadId));
    if (m_hThread == nullptr) {
        CloseHandle(m_hWake);
        m_hWake = nullptr;
        return false;
    }
    return true;
}

void CLircServer::Stop() {
    if (m_hThread == nullptr) {
        return;
    }
    m_csQueue.Lock();
    m_bStop = true;
    m_csQueue.Unlock();
    SetEvent(m_hWake);
    // The thread never blocks but in its wait, which the event ends.
    WaitForSingleObject(m_hThread, INFINITE);
    CloseHandle(m_hThread);
    m_hThread = nullptr;
    CloseHandle(m_hWake);
    m_hWake = nullptr;
    m_bPortTaken = false;
    m_bPortReserved = false;
}

void CLircServer::SetSessionAway(bool bAway) {
    if (bAway == m_bAway) {
        return;
    }
    if (bAway && m_hThread != nullptr) {
        Stop();
        m_bAway = true;
    } else if (!bAway) {
        m_bAway = false;
        Start(m_nPort, m_dwAddress, m_hNotify, m_nTakenMsg);
    }
}

void CLircServer::KeyEvent(int nKey, int nRepeat) {
    Queue(m_protocol.KeyEvent(nKey, nRepeat));
}

void CLircServer::KeyRelease(int nKey) {
    Queue(m_protocol.KeyRelease(nKey));
}

void CLircServer::Queue(const std::string& strLine) {
    if (m_hThread == nullptr || m_nClients == 0 || strLine.empty()) {
        return;
    }
    m_csQueue.Lock();
    // Only a thread that stopped taking lines lets this fill: lines then go.
    const bool bQueued = m_strQueued.size() + strLine.size() <= CLircClientBuffer::MAX_PENDING;
    if (bQueued) {
        m_strQueued += strLine;
    }
    m_csQueue.Unlock();
    if (bQueued) {
        SetEvent(m_hWake);
    }
}

bool CLircServer::TakeQueued(std::string& strLines) {
    strLines.clear();
    m_csQueue.Lock();
    strLines.swap(m_strQueued);
    const bool bGoOn = !m_bStop;
    m_csQueue.Unlock();
    return bGoOn;
}

unsigned WINAPI CLircServer::ThreadProc(void* pParam) {
    WSADATA wsaData;
    if (WSAStartup(MAKEWORD(2, 2), &wsaData) != 0) {
        return 1;
    }
    {
        Session session(*static_cast<CLircServer*>(pParam));
        session.Run();
    }
    WSACleanup();
    return 0;
}
