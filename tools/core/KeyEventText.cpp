#include "KeyEventText.h"

#include "RemoteKeys.h"
#include "Timestamp.h"

namespace {

std::string NameOf(int key) {
    const char* name = RemoteKeys::Name(key);
    return name != nullptr ? name : "?";
}

} // namespace

std::string KeyEventText::ListEntry(int key, int repeat) {
    return std::to_string(key) + "  " + NameOf(key) + "  " + (repeat != 0 ? "repeat" : "press");
}

std::string KeyEventText::LogLine(int key, int repeat, std::uint64_t microseconds) {
    return "time=" + Timestamp::FormatMs(microseconds) + " key=" + std::to_string(key) +
           " repeat=" + (repeat != 0 ? "1" : "0") + " name=" + NameOf(key) + "\n";
}
