#include "ScriptParser.h"

#include "FrameBuilder.h"
#include "NumberText.h"
#include "OptionText.h"

#include <cctype>
#include <utility>

namespace {

std::string Lower(const std::string& text) {
    std::string lower = text;
    for (char& c : lower) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return lower;
}

// Words from users end up in messages: keep those short and printable.
std::string Quote(const std::string& word) {
    const std::size_t maxShown = 40;
    std::string shown;
    for (std::size_t i = 0; i < word.size() && i < maxShown; ++i) {
        const unsigned char c = static_cast<unsigned char>(word[i]);
        shown += std::isprint(c) ? static_cast<char>(c) : '?';
    }
    if (word.size() > maxShown) {
        shown += "...";
    }
    return "'" + shown + "'";
}

bool ParseAddress(const std::string& word, RemoteType type, std::uint32_t& address,
                  std::string& error) {
    const bool veko = type == RemoteType::Veko;
    const std::uint32_t max =
        veko ? FrameBuilder::MAX_VEKO_ADDRESS : FrameBuilder::MAX_ZELMAR_ADDRESS;
    if (!NumberText::ParseHex(word, max, address)) {
        error = "address " + Quote(word) + " is not a hex number from 0 to " +
                (veko ? "FFFF for VEKO" : "1F for ZELMAR_OVI");
        return false;
    }
    return true;
}

bool ParseKey(const std::string& word, RemoteType type, int& key, std::string& error) {
    const int found = OptionText::ParseKey(word);
    if (found == 0) {
        error = "key " + Quote(word) +
                " is neither a key number from 1 to 23 nor a key name (such as F1 or arrow-up)";
        return false;
    }
    if (!RemoteKeys::BelongsTo(type, found)) {
        const RemoteType other =
            type == RemoteType::Veko ? RemoteType::ZelmarOvi : RemoteType::Veko;
        error = "key " + std::to_string(found) + " (" + RemoteKeys::Name(found) + ") is a " +
                RemoteKeys::TypeName(other) + " key, not a " + RemoteKeys::TypeName(type) + " key";
        return false;
    }
    key = found;
    return true;
}

bool ParseMs(const std::string& word, const char* what, std::uint32_t min, std::uint32_t max,
             std::uint32_t& value, std::string& error) {
    if (!NumberText::ParseDecimal(word, min, max, value)) {
        error = std::string(what) + " " + Quote(word) + " is not a number of milliseconds from " +
                std::to_string(min) + " to " + std::to_string(max);
        return false;
    }
    return true;
}

// type, address and key: the first three words after press and hold.
bool ParseKeyFrame(const std::vector<std::string>& words, Step& step, std::string& error) {
    if (!ScriptParser::ParseType(words[1], step.type)) {
        error = "remote type " + Quote(words[1]) + " is neither veko nor zelmar";
        return false;
    }
    return ParseAddress(words[2], step.type, step.address, error) &&
           ParseKey(words[3], step.type, step.key, error);
}

bool ParsePress(const std::vector<std::string>& words, Step& step, std::string& error) {
    if (words.size() != 4) {
        error = "usage: press <veko|zelmar> <address> <key>";
        return false;
    }
    step.kind = Step::Kind::Press;
    return ParseKeyFrame(words, step, error);
}

bool ParseHold(const std::vector<std::string>& words, Step& step, std::string& error) {
    const char* usage = "usage: hold <veko|zelmar> <address> <key> <ms> [--interval <ms>]";
    std::vector<std::string> fixed;
    std::string interval;
    bool intervalGiven = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        const std::string prefix = "--interval=";
        if (word == "--interval" && i + 1 < words.size() && !intervalGiven) {
            interval = words[++i];
            intervalGiven = true;
        } else if (word.compare(0, prefix.size(), prefix) == 0 && !intervalGiven) {
            interval = word.substr(prefix.size());
            intervalGiven = true;
        } else {
            fixed.push_back(word);
        }
    }
    if (fixed.size() != 5) {
        error = usage;
        return false;
    }
    step.kind = Step::Kind::Hold;
    step.intervalMs = ScriptParser::DEFAULT_INTERVAL_MS;
    return ParseKeyFrame(fixed, step, error) &&
           ParseMs(fixed[4], "hold time", 0, ScriptParser::MAX_DURATION_MS, step.durationMs,
                   error) &&
           (!intervalGiven || ParseMs(interval, "interval", ScriptParser::MIN_INTERVAL_MS,
                                      ScriptParser::MAX_INTERVAL_MS, step.intervalMs, error));
}

// Each word holds one or more whole bytes: "5A", "0x5A" or "12ED13".
bool ParseRaw(const std::vector<std::string>& words, Step& step, std::string& error) {
    if (words.size() < 2) {
        error = "usage: raw <hex bytes...>";
        return false;
    }
    step.kind = Step::Kind::Raw;
    for (std::size_t i = 1; i < words.size(); ++i) {
        std::string digits = words[i];
        if (digits.size() >= 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
            digits = digits.substr(2);
        }
        if (digits.empty() || digits.size() % 2 != 0) {
            error = "raw bytes " + Quote(words[i]) + " are not pairs of hex digits";
            return false;
        }
        for (std::size_t j = 0; j < digits.size(); j += 2) {
            std::uint32_t value = 0;
            if (!NumberText::ParseHex(digits.substr(j, 2), 0xFF, value)) {
                error = "raw bytes " + Quote(words[i]) + " are not pairs of hex digits";
                return false;
            }
            if (step.bytes.size() >= ScriptParser::MAX_RAW_BYTES) {
                error = "raw: more than " + std::to_string(ScriptParser::MAX_RAW_BYTES) +
                        " bytes in one step";
                return false;
            }
            step.bytes.push_back(static_cast<std::uint8_t>(value));
        }
    }
    return true;
}

bool ParseWait(const std::vector<std::string>& words, Step& step, std::string& error) {
    if (words.size() != 2) {
        error = "usage: wait <ms>";
        return false;
    }
    step.kind = Step::Kind::Wait;
    return ParseMs(words[1], "wait", 0, ScriptParser::MAX_DURATION_MS, step.durationMs, error);
}

bool ParseToggle(const std::vector<std::string>& words, Step& step, std::string& error) {
    if (words.size() != 2 || (words[1] != "0" && words[1] != "1")) {
        error = "usage: toggle <0|1>";
        return false;
    }
    step.kind = Step::Kind::Toggle;
    step.toggle = words[1] == "1" ? 1 : 0;
    return true;
}

} // namespace

bool ScriptParser::ParseType(const std::string& word, RemoteType& type) {
    const std::string lower = Lower(word);
    if (lower == "veko") {
        type = RemoteType::Veko;
        return true;
    }
    if (lower == "zelmar" || lower == "zelmar_ovi" || lower == "zelmar-ovi") {
        type = RemoteType::ZelmarOvi;
        return true;
    }
    return false;
}

bool ScriptParser::ParseCommand(const std::vector<std::string>& words, Step& step,
                                std::string& error) {
    if (words.empty()) {
        error = "no command";
        return false;
    }
    // Parsed into a copy, so that a failure leaves the caller's step as it was.
    Step parsed;
    parsed.line = step.line;
    bool ok = false;
    const std::string command = Lower(words[0]);
    if (command == "press") {
        ok = ParsePress(words, parsed, error);
    } else if (command == "hold") {
        ok = ParseHold(words, parsed, error);
    } else if (command == "raw") {
        ok = ParseRaw(words, parsed, error);
    } else if (command == "wait") {
        ok = ParseWait(words, parsed, error);
    } else if (command == "toggle") {
        ok = ParseToggle(words, parsed, error);
    } else {
        error = "unknown command " + Quote(words[0]) + " (press, hold, raw, wait or toggle)";
    }
    if (ok) {
        step = std::move(parsed);
    }
    return ok;
}

bool ScriptParser::ParseScript(const std::string& text, std::vector<Step>& steps,
                               std::string& error) {
    if (text.size() > MAX_SCRIPT_CHARS) {
        error = "script longer than " + std::to_string(MAX_SCRIPT_CHARS) + " characters";
        return false;
    }
    std::vector<Step> parsed;
    int lineNumber = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        ++lineNumber;
        const std::vector<std::string> words = SplitWords(text.substr(start, end - start));
        start = end + 1;
        if (words.empty()) {
            continue;
        }
        const std::string where = "line " + std::to_string(lineNumber) + ": ";
        if (Lower(words[0]) == "script") {
            error = where + "a script cannot run another script";
            return false;
        }
        Step step;
        step.line = lineNumber;
        if (!ParseCommand(words, step, error)) {
            error = where + error;
            return false;
        }
        if (parsed.size() >= MAX_STEPS) {
            error = where + "more than " + std::to_string(MAX_STEPS) + " steps";
            return false;
        }
        parsed.push_back(std::move(step));
    }
    steps = std::move(parsed);
    return true;
}

std::vector<std::string> ScriptParser::SplitWords(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    for (const char c : line) {
        if (c == '#') {
            break;
        }
        if (c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f') {
            if (!word.empty()) {
                words.push_back(word);
                word.clear();
            }
        } else {
            word += c;
        }
    }
    if (!word.empty()) {
        words.push_back(word);
    }
    return words;
}
