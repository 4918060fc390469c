#include "RecvAppCheckOptions.h"

#include "OptionText.h"

namespace {

const std::size_t MAX_PATH_CHARS = 1024;

} // namespace

bool RecvAppCheckOptions::Parse(const std::vector<std::string>& args, std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        bool bad = false;
        if (OptionText::IsHelp(args[i])) {
            help = true;
        } else if (OptionText::TakeText(args, i, "--ini", MAX_PATH_CHARS, iniPath, bad)) {
            if (bad) {
                error = "--ini takes the path of a RecvApp.ini file";
                return false;
            }
        } else {
            error = "unexpected argument '" + args[i].substr(0, MAX_PATH_CHARS) + "'";
            return false;
        }
    }
    return true;
}

const char* RecvAppCheckOptions::Usage() {
    return "Usage: RecvAppCheck [--ini <file>]\n"
           "\n"
           "Tells which receiving application gets the keys of the remote control right\n"
           "now: for every entry of RecvApp.ini its window and why it gets the keys or\n"
           "not (no such window, hidden, minimised, on another virtual desktop, lower in\n"
           "the Z order). KV480 makes the same choice afresh for every key.\n"
           "\n"
           "Options:\n"
           "  --ini <file>  check this RecvApp.ini (default: the one beside KV480, from\n"
           "                the registry value Path, as KV480 reads it)\n"
           "  --help        this text\n"
           "\n"
           "Exit status: 0 a window gets the keys, 1 none does, 2 bad command line,\n"
           "3 RecvApp.ini or the settings cannot be read (KV480 would not start).\n";
}
