#include "LircClient.h"

#include <ws2tcpip.h>

#include "ProgramUnderTest.h"

namespace harness {

LircClient::LircClient() {
    WSADATA data;
    m_started = WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

LircClient::~LircClient() {
    if (m_socket != INVALID_SOCKET)
        closesocket(m_socket);
    if (m_started)
        WSACleanup();
}

bool LircClient::Connect(std::uint16_t port, DWORD timeoutMs) {
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    auto attempt = [&] {
        SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (s == INVALID_SOCKET)
            return false;
        if (connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
            closesocket(s);
            return false;
        }
        m_socket = s;
        return true;
    };
    return attempt() || (timeoutMs > 0 && WaitUntil(attempt, timeoutMs));
}

std::uint16_t LircClient::FreeLoopbackPort() {
    LircClient started; // Winsock for the call
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof(address);
    std::uint16_t port = 0;
    if (s != INVALID_SOCKET &&
        bind(s, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0 &&
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    if (s != INVALID_SOCKET)
        closesocket(s);
    return port;
}

bool LircClient::Send(const std::string& bytes) {
    return send(m_socket, bytes.data(), static_cast<int>(bytes.size()), 0) ==
           static_cast<int>(bytes.size());
}

bool LircClient::Receive(DWORD timeoutMs) {
    if (m_closed || m_socket == INVALID_SOCKET)
        return false;
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(m_socket, &readable);
    timeval wait = {static_cast<long>(timeoutMs / 1000),
                    static_cast<long>(timeoutMs % 1000) * 1000};
    if (select(0, &readable, nullptr, nullptr, &wait) != 1)
        return false;
    char chunk[4096];
    const int got = recv(m_socket, chunk, sizeof(chunk), 0);
    if (got <= 0) {
        m_closed = true;
        return false;
    }
    m_received.append(chunk, static_cast<size_t>(got));
    return true;
}

bool LircClient::ReadLine(std::string& line, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        const size_t end = m_received.find('\n');
        if (end != std::string::npos) {
            line = m_received.substr(0, end);
            m_received.erase(0, end + 1);
            return true;
        }
        const DWORD waited = GetTickCount() - start;
        if (!Receive(waited < timeoutMs ? timeoutMs - waited : 0))
            return false;
    }
}

std::vector<std::string> LircClient::ReadBlock(DWORD timeoutMs) {
    std::vector<std::string> block;
    std::string line;
    while (ReadLine(line, timeoutMs)) {
        if (block.empty() && line != "BEGIN")
            continue; // a key event line before the block
        block.push_back(line);
        if (line == "END")
            break;
    }
    return block;
}

bool LircClient::WaitClosed(DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!m_closed) {
        const DWORD waited = GetTickCount() - start;
        if (waited >= timeoutMs)
            return false;
        Receive(timeoutMs - waited);
    }
    return true;
}

} // namespace harness
