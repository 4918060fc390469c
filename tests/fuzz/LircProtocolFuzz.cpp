// Bytes from a LIRC client: split into lines by the client buffer, each line
// answered. Checks that the buffer keeps its bounds and that every reply is a
// well-formed block that a client can read line by line.
#include "CLircClientBuffer.h"
#include "CLircProtocol.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void CheckReply(const std::string& reply) {
    if (reply.empty()) {
        return;
    }
    Check(reply.compare(0, 6, "BEGIN\n") == 0);
    Check(reply.size() >= 10 && reply.compare(reply.size() - 4, 4, "END\n") == 0);
    for (char c : reply) {
        const auto b = static_cast<unsigned char>(c);
        Check(b == '\n' || (b >= 0x20 && b <= 0x7E));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CLircProtocol protocol("fuzz");
    protocol.SetAddress(0x12ED);
    CLircClientBuffer buffer;
    // Chunk boundaries from the first byte, so lines are cut anywhere.
    const std::size_t chunk = size > 0 ? 1 + data[0] % 64 : 1;
    for (std::size_t at = 0; at < size; at += chunk) {
        std::vector<std::string> lines;
        const std::size_t count = size - at < chunk ? size - at : chunk;
        const bool keep = buffer.Receive(reinterpret_cast<const char*>(data + at), count, lines);
        for (const std::string& line : lines) {
            Check(!line.empty() && line.size() <= CLircClientBuffer::MAX_LINE);
            const std::string reply = protocol.Reply(line);
            CheckReply(reply);
            if (buffer.Queue(reply)) {
                Check(buffer.PendingSize() <= CLircClientBuffer::MAX_PENDING);
            }
        }
        if (!keep) {
            break;
        }
    }
    // The parser on its own, with whatever the raw input holds.
    CheckReply(protocol.Reply(std::string(reinterpret_cast<const char*>(data), size)));
    return 0;
}
