// Pieces of command-line parsing the tools share.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class OptionText {
public:
    static bool StartsWith(const std::string& text, const std::string& prefix);

    // "--name value" or "--name=value" at args[i]: true when it is that
    // option, with value set or missing true; advances i past what it used.
    static bool TakeValue(const std::vector<std::string>& args, std::size_t& i,
                          const std::string& name, std::string& value, bool& missing);

    // TakeValue for a text of 1 to maxChars characters: bad when the value is
    // missing, empty or longer.
    static bool TakeText(const std::vector<std::string>& args, std::size_t& i,
                         const std::string& name, std::size_t maxChars, std::string& value,
                         bool& bad);

    // "--help", "-h" or "/?".
    static bool IsHelp(const std::string& arg);

    // A key number 1..23 or a key name ("F1", "arrow-up"); 0 when it is neither.
    static int ParseKey(const std::string& word);
};
