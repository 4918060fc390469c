#include "OptionText.h"

#include "NumberText.h"
#include "RemoteKeys.h"

#include <cstdint>

bool OptionText::StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool OptionText::TakeValue(const std::vector<std::string>& args, std::size_t& i,
                           const std::string& name, std::string& value, bool& missing) {
    const std::string& arg = args[i];
    if (arg == name) {
        if (i + 1 >= args.size()) {
            missing = true;
            return true;
        }
        value = args[++i];
        return true;
    }
    if (StartsWith(arg, name + "=")) {
        value = arg.substr(name.size() + 1);
        return true;
    }
    return false;
}

bool OptionText::TakeText(const std::vector<std::string>& args, std::size_t& i,
                          const std::string& name, std::size_t maxChars, std::string& value,
                          bool& bad) {
    bool missing = false;
    if (!TakeValue(args, i, name, value, missing)) {
        return false;
    }
    bad = missing || value.empty() || value.size() > maxChars;
    return true;
}

bool OptionText::IsHelp(const std::string& arg) {
    return arg == "--help" || arg == "-h" || arg == "/?";
}

int OptionText::ParseKey(const std::string& word) {
    std::uint32_t number = 0;
    if (NumberText::ParseDecimal(word, RemoteKeys::FIRST_KEY, RemoteKeys::LAST_KEY, number)) {
        return static_cast<int>(number);
    }
    return RemoteKeys::FromName(word);
}
