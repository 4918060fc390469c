// The key sender's command line: which window, and one press or hold.
#pragma once

#include "ScriptParser.h"

#include <cstdint>
#include <string>
#include <vector>

class KeySenderOptions {
public:
    enum class Target {
        Settings, // the window KV480 would choose, by the RecvApp.ini beside it
        Ini,      // the same, by the RecvApp.ini given
        Window,   // the top-level window of the class and/or caption given
    };

    static constexpr std::uint32_t MAX_HOLD_MS = 3600000;

    // args without the program name. On failure error says what is wrong.
    bool Parse(const std::vector<std::string>& args, std::string& error);

    static const char* Usage();

    bool help = false;
    bool quiet = false;
    Target target = Target::Settings;
    std::string iniPath;
    std::string className; // empty: any class
    std::string caption;   // empty: any caption
    int key = 0;
    std::uint32_t holdMs = 0; // 0: a short press
    std::uint32_t intervalMs = ScriptParser::DEFAULT_INTERVAL_MS;
};
