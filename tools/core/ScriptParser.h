// Turns simulator commands, from the command line or a script, into steps.
// Everything is checked here, so a bad script is rejected before a byte is
// sent.
#pragma once

#include "RemoteKeys.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One thing the simulator does.
struct Step {
    enum class Kind {
        Press,  // one key frame
        Hold,   // key frame, then repeat frames every intervalMs for durationMs
        Raw,    // bytes as given
        Wait,   // durationMs of silence
        Toggle, // set the toggle bit of the next ZELMAR_OVI press
    };
    Kind kind = Kind::Wait;
    RemoteType type = RemoteType::Veko;
    std::uint32_t address = 0;
    int key = 0;
    std::uint32_t durationMs = 0;
    std::uint32_t intervalMs = 0;
    int toggle = 0;
    std::vector<std::uint8_t> bytes;
    int line = 0; // script line, 0 for the command line
};

class ScriptParser {
public:
    static constexpr std::uint32_t MAX_DURATION_MS = 3600000; // one hour
    static constexpr std::uint32_t DEFAULT_INTERVAL_MS = 110;
    static constexpr std::uint32_t MIN_INTERVAL_MS = 1;
    static constexpr std::uint32_t MAX_INTERVAL_MS = 60000;
    static constexpr std::size_t MAX_RAW_BYTES = 4096;
    static constexpr std::size_t MAX_SCRIPT_CHARS = 1024 * 1024;
    static constexpr std::size_t MAX_STEPS = 100000;

    // One command, split into words: "press veko 12ED 1". On failure error
    // says what is wrong and step is unchanged.
    static bool ParseCommand(const std::vector<std::string>& words, Step& step, std::string& error);

    // A whole script, one command per line; '#' starts a comment. On failure
    // error begins with "line <n>: " and steps is unchanged.
    static bool ParseScript(const std::string& text, std::vector<Step>& steps, std::string& error);

    // The words of one script line, comment removed.
    static std::vector<std::string> SplitWords(const std::string& line);

    // "veko", "zelmar" or "zelmar_ovi", in any case.
    static bool ParseType(const std::string& word, RemoteType& type);
};
