#include "DemoOptions.h"

namespace {

// Takes the value after args[i] into value; false when there is none or it is
// empty or longer than maxLength.
bool TakeValue(const std::vector<std::string>& args, std::size_t& i, std::size_t maxLength,
               std::string& value) {
    if (i + 1 >= args.size() || args[i + 1].empty() || args[i + 1].size() > maxLength) {
        return false;
    }
    value = args[++i];
    return true;
}

} // namespace

bool DemoOptions::Parse(const std::vector<std::string>& args, std::string& error) {
    bool minimized = false;
    bool hidden = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h" || arg == "/?") {
            help = true;
        } else if (arg == "--minimized") {
            minimized = true;
        } else if (arg == "--hidden") {
            hidden = true;
        } else if (arg == "--log") {
            if (!TakeValue(args, i, MAX_LOG_PATH, logPath)) {
                error = "--log takes a file name of at most " + std::to_string(MAX_LOG_PATH) +
                        " characters";
                return false;
            }
        } else if (arg == "--class" || arg == "--caption") {
            if (!TakeValue(args, i, MAX_NAME, arg == "--class" ? className : caption)) {
                error = arg + " takes a text of 1 to " + std::to_string(MAX_NAME) + " characters";
                return false;
            }
        } else {
            const std::size_t maxShown = 40;
            error = "unknown argument '" + arg.substr(0, maxShown) + "'";
            return false;
        }
    }
    if (minimized && hidden) {
        error = "--minimized and --hidden exclude each other";
        return false;
    }
    start = hidden ? Start::Hidden : minimized ? Start::Minimized : Start::Normal;
    return true;
}

const char* DemoOptions::Usage() {
    return "Usage: DemoReceiver [--log <file>] [--class <name>] [--caption <text>]\n"
           "                    [--minimized | --hidden]\n"
           "\n"
           "Shows the last keys of the remote control that arrive as the registered\n"
           "message WM_REMOTECONTROL. List the window in RecvApp.ini to receive them:\n"
           "\n"
           "  [DemoReceiver]\n"
           "  ClassName=KV480DemoReceiver\n"
           "  WindowName=Remote Control Demo\n"
           "\n"
           "  --log <file>      append a line per key: time=<ms> key=<n> repeat=<0|1>\n"
           "                    name=<name> (performance counter, milliseconds)\n"
           "  --class <name>    window class instead of KV480DemoReceiver\n"
           "  --caption <text>  caption instead of Remote Control Demo\n"
           "  --minimized       start minimized\n"
           "  --hidden          start with the window hidden\n";
}
