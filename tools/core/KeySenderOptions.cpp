#include "KeySenderOptions.h"

#include "NumberText.h"
#include "OptionText.h"

namespace {

// Window classes hold at most 256 characters with the terminator; captions
// are held to the same, as RecvApp.ini values are.
const std::size_t MAX_NAME = 255;
const std::size_t MAX_PATH_CHARS = 1024;

bool ParseMs(const std::string& text, std::uint32_t min, std::uint32_t max, std::uint32_t& value,
             const std::string& what, std::string& error) {
    if (!NumberText::ParseDecimal(text, min, max, value)) {
        error =
            what + " takes milliseconds from " + std::to_string(min) + " to " + std::to_string(max);
        return false;
    }
    return true;
}

} // namespace

bool KeySenderOptions::Parse(const std::vector<std::string>& args, std::string& error) {
    std::vector<std::string> command;
    bool iniGiven = false;
    bool windowGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string value;
        bool missing = false;
        bool bad = false;
        if (OptionText::IsHelp(arg)) {
            help = true;
        } else if (arg == "--quiet") {
            quiet = true;
        } else if (OptionText::TakeText(args, i, "--ini", MAX_PATH_CHARS, iniPath, bad)) {
            if (bad) {
                error = "--ini takes the path of a RecvApp.ini file";
                return false;
            }
            iniGiven = true;
        } else if (OptionText::TakeText(args, i, "--class", MAX_NAME, className, bad) ||
                   OptionText::TakeText(args, i, "--caption", MAX_NAME, caption, bad)) {
            if (bad) {
                error = "--class and --caption take a text of 1 to 255 characters";
                return false;
            }
            windowGiven = true;
        } else if (OptionText::TakeValue(args, i, "--interval", value, missing)) {
            if (missing ||
                !ParseMs(value, ScriptParser::MIN_INTERVAL_MS, ScriptParser::MAX_INTERVAL_MS,
                         intervalMs, "--interval", error)) {
                if (missing) {
                    error = "--interval takes milliseconds";
                }
                return false;
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            error = "unknown option '" + arg.substr(0, MAX_NAME) + "'";
            return false;
        } else {
            command.push_back(arg);
        }
    }
    if (help) {
        return true;
    }
    if (iniGiven && windowGiven) {
        error = "--ini and --class/--caption exclude each other";
        return false;
    }
    target = iniGiven ? Target::Ini : windowGiven ? Target::Window : Target::Settings;
    const bool press = command.size() == 2 && command[0] == "press";
    const bool hold = command.size() == 3 && command[0] == "hold";
    if (!press && !hold) {
        error = "give one command: press <key> or hold <key> <ms>";
        return false;
    }
    key = OptionText::ParseKey(command[1]);
    if (key == 0) {
        error = "key '" + command[1].substr(0, MAX_NAME) +
                "' is neither a key number from 1 to 23 nor a key name (such as F1 or arrow-up)";
        return false;
    }
    holdMs = 0;
    return !hold || ParseMs(command[2], 0, MAX_HOLD_MS, holdMs, "hold", error);
}

const char* KeySenderOptions::Usage() {
    return "Usage: KeySender [options] press <key>\n"
           "       KeySender [options] hold <key> <ms>\n"
           "\n"
           "Posts a key of the remote control to a receiving application as KV480 does,\n"
           "with no receiver and no KV480: the key message (lParam 0), for a hold the\n"
           "repeats (lParam 1) that KV480 passes on once the key has been held 500 ms,\n"
           "and the release message 400 ms after the last frame of the press or hold.\n"
           "\n"
           "  key  1..23 or a name: top-left .. bottom-right (VEKO 1..6), f1..f6, esc,\n"
           "       enter, arrow-up, arrow-down, arrow-left, arrow-right, vehicle, stop,\n"
           "       question-mark, right-of-question-mark, green-round\n"
           "  ms   how long the key is held (0 to 3600000)\n"
           "\n"
           "Options:\n"
           "  --ini <file>        choose the window as KV480 would by this RecvApp.ini\n"
           "                      (default: the RecvApp.ini beside KV480, from the\n"
           "                      registry value Path)\n"
           "  --class <name>      send to the top-level window of this class instead\n"
           "  --caption <text>    ... or of this caption, or both\n"
           "  --interval <ms>     the receiver's repeat interval (default 110)\n"
           "  --quiet             print nothing but errors\n"
           "  --help              this text\n"
           "\n"
           "Exit status: 0 sent, 1 no window to send to, 2 bad command line,\n"
           "3 RecvApp.ini or the settings cannot be read.\n";
}
