// A client of KV480's LIRC stream, as a program on the same PC connects:
// TCP to the loopback address, lines in, commands out.
#pragma once

#include <winsock2.h>

#include <cstdint>
#include <string>
#include <vector>

namespace harness {

class LircClient {
public:
    LircClient();
    ~LircClient();
    LircClient(const LircClient&) = delete;
    LircClient& operator=(const LircClient&) = delete;

    // Connects to 127.0.0.1:port, trying again until the server listens or
    // timeoutMs has passed (0: one attempt).
    bool Connect(std::uint16_t port, DWORD timeoutMs);
    bool Send(const std::string& bytes);
    // The next line without its line end; false when none came in time or
    // the server ended the connection. timeoutMs 0 takes only what is there.
    bool ReadLine(std::string& line, DWORD timeoutMs);
    // The lines of the next reply block, BEGIN to END.
    std::vector<std::string> ReadBlock(DWORD timeoutMs);
    // Whether the server ends the connection within timeoutMs (whatever it
    // sent before is skipped).
    bool WaitClosed(DWORD timeoutMs);
    // For a wait on several clients at once.
    SOCKET Handle() const { return m_socket; }

    // A TCP port on 127.0.0.1 that nothing uses right now, for a LircPort of
    // its own: test runs side by side on one machine share its ports.
    static std::uint16_t FreeLoopbackPort();

private:
    // Waits for more bytes; false on time-out, end or error.
    bool Receive(DWORD timeoutMs);

    SOCKET m_socket = INVALID_SOCKET;
    std::string m_received;
    bool m_closed = false;
    bool m_started = false;
};

} // namespace harness
