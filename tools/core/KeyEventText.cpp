#include "KeyEventText.h"

#include "RemoteControl.h"
#include "Timestamp.h"

namespace {

std::string NameOf(int key) {
    const char* name = RC_KEY_NAME(key);
    return name != nullptr ? name : "?";
}

std::string List(int key, const char* what) {
    return std::to_string(key) + "  " + NameOf(key) + "  " + what;
}

std::string Log(int key, const char* field, std::uint64_t microseconds) {
    return "time=" + Timestamp::FormatMs(microseconds) + " key=" + std::to_string(key) + " " +
           field + " name=" + NameOf(key) + "\n";
}

} // namespace

std::string KeyEventText::ListEntry(int key, int repeat) {
    return List(key, repeat != 0 ? "repeat" : "press");
}

std::string KeyEventText::LogLine(int key, int repeat, std::uint64_t microseconds) {
    return Log(key, repeat != 0 ? "repeat=1" : "repeat=0", microseconds);
}

std::string KeyEventText::ReleaseListEntry(int key) {
    return List(key, "release");
}

std::string KeyEventText::ReleaseLogLine(int key, std::uint64_t microseconds) {
    return Log(key, "release=1", microseconds);
}
