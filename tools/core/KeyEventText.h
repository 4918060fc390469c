// The texts the demo receiving application shows and logs for a key event.
#pragma once

#include <cstdint>
#include <string>

class KeyEventText {
public:
    // "15  Arrow up  repeat"; repeat is 0 for a new press, else a repeat.
    static std::string ListEntry(int key, int repeat);

    // "time=1234.567 key=15 repeat=1 name=Arrow up\n". The name comes last as
    // it may contain spaces.
    static std::string LogLine(int key, int repeat, std::uint64_t microseconds);

    // The same for the release message: "15  Arrow up  release" and
    // "time=1234.567 key=15 release=1 name=Arrow up\n".
    static std::string ReleaseListEntry(int key);
    static std::string ReleaseLogLine(int key, std::uint64_t microseconds);
};
