// The demo receiving application's command line.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class DemoOptions {
public:
    enum class Start { Normal, Minimized, Hidden };

    static constexpr const char* DEFAULT_CLASS = "KV480DemoReceiver";
    static constexpr const char* DEFAULT_CAPTION = "Remote Control Demo";
    // Window class names are limited to 256 characters with the terminator;
    // captions are held to the same so RecvApp.ini can list them.
    static constexpr std::size_t MAX_NAME = 255;
    static constexpr std::size_t MAX_LOG_PATH = 1024;

    // args without the program name. On failure error says what is wrong.
    bool Parse(const std::vector<std::string>& args, std::string& error);

    static const char* Usage();

    bool help = false;
    std::string logPath; // empty: no log
    std::string className = DEFAULT_CLASS;
    std::string caption = DEFAULT_CAPTION;
    Start start = Start::Normal;
};
