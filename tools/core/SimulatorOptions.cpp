#include "SimulatorOptions.h"

#include "NumberText.h"
#include "OptionText.h"

#include <cctype>

namespace {

// Device names are letters, digits and '_' ("COM11", "CNCA0"), so nothing
// given here can reach another part of the device namespace.
bool ParsePort(const std::string& given, std::string& port) {
    std::string name = given;
    const std::string devicePrefix = "\\\\.\\";
    if (OptionText::StartsWith(name, devicePrefix)) {
        name = name.substr(devicePrefix.size());
    }
    if (name.empty() || name.size() > SimulatorOptions::MAX_PORT_NAME) {
        return false;
    }
    for (const char c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') {
            return false;
        }
    }
    port = name;
    return true;
}

} // namespace

bool SimulatorOptions::Parse(const std::vector<std::string>& args, std::string& error) {
    std::vector<std::string> command;
    bool quiet = false;
    bool verbose = false;
    bool portGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string value;
        bool missing = false;
        if (OptionText::IsHelp(arg)) {
            help = true;
        } else if (arg == "--quiet") {
            quiet = true;
        } else if (arg == "--verbose") {
            verbose = true;
        } else if (arg == "--wait-dtr") {
            waitDtr = true;
        } else if (OptionText::StartsWith(arg, "--wait-dtr=")) {
            waitDtr = true;
            if (!NumberText::ParseDecimal(arg.substr(sizeof("--wait-dtr=") - 1), 0, MAX_DTR_WAIT_MS,
                                          dtrWaitMs)) {
                error =
                    "--wait-dtr takes milliseconds from 0 to " + std::to_string(MAX_DTR_WAIT_MS);
                return false;
            }
        } else if (OptionText::TakeValue(args, i, "--port", value, missing)) {
            if (missing || !ParsePort(value, port)) {
                error = "--port takes a port name such as COM11";
                return false;
            }
            portGiven = true;
        } else if (OptionText::TakeValue(args, i, "--toggle", value, missing)) {
            if (missing || (value != "0" && value != "1")) {
                error = "--toggle takes 0 or 1";
                return false;
            }
            firstToggle = value == "1" ? 1 : 0;
        } else if (arg.size() > 1 && arg[0] == '-' && !OptionText::StartsWith(arg, "--interval")) {
            error = "unknown option '" + arg.substr(0, MAX_PORT_NAME) + "'";
            return false;
        } else {
            command.push_back(arg);
        }
    }
    if (help) {
        return true;
    }
    if (quiet && verbose) {
        error = "--quiet and --verbose exclude each other";
        return false;
    }
    verbosity = quiet ? Verbosity::Quiet : verbose ? Verbosity::Verbose : Verbosity::Normal;
    if (command.empty()) {
        error = "no command given (press, hold, raw, wait or script)";
        return false;
    }
    if (command[0] == "script") {
        if (command.size() != 2) {
            error = "usage: script <file>, or script - for standard input";
            return false;
        }
        scriptPath = command[1];
    } else {
        Step step;
        if (!ScriptParser::ParseCommand(command, step, error)) {
            return false;
        }
        steps.push_back(step);
    }
    if (!portGiven) {
        error = "--port is required";
        return false;
    }
    return true;
}

const char* SimulatorOptions::Usage() {
    return "Usage: ReceiverSimulator --port COMn [options] <command>\n"
           "\n"
           "Plays a remote-control receiver on a serial port: 9600 baud, 8 data bits,\n"
           "no parity, 1 stop bit, each byte paced as on the line (about 1.04 ms).\n"
           "\n"
           "Commands:\n"
           "  press <type> <address> <key>         one key frame\n"
           "  hold <type> <address> <key> <ms> [--interval <ms>]\n"
           "                                       key frame, then repeat frames every\n"
           "                                       interval (default 110 ms) for <ms>\n"
           "  raw <hex bytes...>                   bytes as given: 12 ED 13 or 12ED13\n"
           "  wait <ms>                            silence\n"
           "  toggle <0|1>                         toggle bit of the next ZELMAR_OVI press\n"
           "  script <file>                        one command per line, '#' comments;\n"
           "                                       '-' reads standard input\n"
           "\n"
           "  type     veko or zelmar (zelmar_ovi)\n"
           "  address  hex: VEKO 0..FFFF (sent high byte first), ZELMAR_OVI 0..1F\n"
           "  key      1..23 or a name: top-left .. bottom-right (VEKO 1..6), f1..f6, esc,\n"
           "           enter, arrow-up, arrow-down, arrow-left, arrow-right, vehicle,\n"
           "           stop, question-mark, right-of-question-mark, green-round\n"
           "\n"
           "Options:\n"
           "  --port COMn      port to send on (required)\n"
           "  --quiet          print nothing but errors\n"
           "  --verbose        also print 'sent <bytes> at <ms>' per frame, the time the\n"
           "                   last byte was written (performance counter, milliseconds)\n"
           "  --toggle 0|1     toggle bit of the first ZELMAR_OVI press (default 0); each\n"
           "                   press flips it. Every run starts afresh, so a receiver that\n"
           "                   saw the previous run may take an equal bit for a repeat.\n"
           "  --wait-dtr[=ms]  before sending, wait until the other side raises DTR\n"
           "                   (default at most 10000 ms)\n"
           "  --help           this text\n"
           "\n"
           "Exit status: 0 done, 1 port failure, 2 bad command line or script,\n"
           "3 no DTR in time.\n";
}
