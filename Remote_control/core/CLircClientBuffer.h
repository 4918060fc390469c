// What the LIRC server keeps per client: the bytes received so far of the
// next command line, and the text waiting to be sent. Both are bounded, so a
// client can neither grow KV480's memory nor stall the others.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class CLircClientBuffer {
public:
    // Longest command line, without its line end.
    static constexpr std::size_t MAX_LINE = 255;
    // Text waiting for a client that does not read; more ends the client.
    static constexpr std::size_t MAX_PENDING = 64 * 1024;

    // Adds received bytes; each complete line is appended to lines (CR, LF
    // or both end a line; empty lines are skipped). False when the client
    // must be dropped: a line longer than MAX_LINE, or bytes that are not
    // printable ASCII text.
    bool Receive(const char* pBytes, std::size_t nCount, std::vector<std::string>& lines);

    // Queues text to send; false when that would leave more than
    // MAX_PENDING waiting (nothing is queued then: the client is dropped).
    bool Queue(const std::string& strText);

    const char* Pending() const { return m_strOut.data(); }
    std::size_t PendingSize() const { return m_strOut.size(); }
    // nCount bytes of the pending text have been sent.
    void Sent(std::size_t nCount);

private:
    std::string m_strLine;
    std::string m_strOut;
};
