// The receiver simulator's command line: options anywhere, one command.
#pragma once

#include "ScriptParser.h"

#include <cstdint>
#include <string>
#include <vector>

class SimulatorOptions {
public:
    enum class Verbosity { Quiet, Normal, Verbose };

    static constexpr std::uint32_t DEFAULT_DTR_WAIT_MS = 10000;
    static constexpr std::uint32_t MAX_DTR_WAIT_MS = 600000;
    static constexpr std::size_t MAX_PORT_NAME = 32;

    // args without the program name. On failure error says what is wrong.
    bool Parse(const std::vector<std::string>& args, std::string& error);

    // "\\.\COM11" for --port COM11.
    std::string DevicePath() const { return "\\\\.\\" + port; }

    static const char* Usage();

    bool help = false;
    std::string port; // without the "\\.\" prefix
    Verbosity verbosity = Verbosity::Normal;
    int firstToggle = 0;
    bool waitDtr = false;
    std::uint32_t dtrWaitMs = DEFAULT_DTR_WAIT_MS;
    // Either a script to read ("-": standard input) or the steps of the command.
    std::string scriptPath;
    std::vector<Step> steps;
};
