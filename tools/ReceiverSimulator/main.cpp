// ReceiverSimulator: plays a remote-control receiver on a serial port, for
// trying out and testing the programs that read one. See --help.
#include "Pacer.h"
#include "ScriptParser.h"
#include "SerialPort.h"
#include "SimulatorOptions.h"
#include "StepRunner.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <istream>
#include <string>
#include <vector>

namespace {

const int EXIT_DONE = 0;
const int EXIT_PORT_FAILED = 1;
const int EXIT_BAD_INPUT = 2;
const int EXIT_NO_DTR = 3;

const DWORD DTR_POLL_MS = 5;

int Fail(int code, const std::string& message) {
    std::fprintf(stderr, "ReceiverSimulator: %s\n", message.c_str());
    return code;
}

// Reads at most the longest script the parser takes, plus one character to
// tell a script that is too long.
bool ReadAll(std::istream& in, std::string& text) {
    const std::size_t limit = ScriptParser::MAX_SCRIPT_CHARS + 1;
    char chunk[4096];
    while (text.size() < limit && in) {
        const std::size_t want = std::min(sizeof(chunk), limit - text.size());
        in.read(chunk, static_cast<std::streamsize>(want));
        text.append(chunk, static_cast<std::size_t>(in.gcount()));
    }
    return !in.bad();
}

bool LoadScript(const std::string& path, std::vector<Step>& steps, std::string& error) {
    std::string text;
    bool read = false;
    if (path == "-") {
        read = ReadAll(std::cin, text);
    } else {
        std::ifstream file(path, std::ios::binary);
        read = file.is_open() && ReadAll(file, text);
    }
    if (!read) {
        error = "cannot read script " + (path == "-" ? std::string("from standard input") : path);
        return false;
    }
    if (!ScriptParser::ParseScript(text, steps, error)) {
        error = (path == "-" ? std::string("standard input") : path) + ": " + error;
        return false;
    }
    return true;
}

bool WaitForDtr(const SerialPort& port, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (port.IsDsrOn()) {
            return true;
        }
        if (GetTickCount() - start >= timeoutMs) {
            return false;
        }
        Sleep(DTR_POLL_MS);
    }
}

int Run(const SimulatorOptions& options, const std::vector<Step>& steps) {
    SerialPort port;
    std::string error;
    if (!port.Open(options.DevicePath(), error)) {
        return Fail(EXIT_PORT_FAILED, error);
    }
    if (options.waitDtr && !WaitForDtr(port, options.dtrWaitMs)) {
        return Fail(EXIT_NO_DTR, "the other side of " + options.port +
                                     " did not raise DTR within " +
                                     std::to_string(options.dtrWaitMs) + " ms");
    }
    Pacer pacer;
    StepRunner runner(port, pacer, options.verbosity, options.firstToggle);
    if (!runner.Run(steps, error)) {
        return Fail(EXIT_PORT_FAILED, options.port + ": " + error);
    }
    port.Close();
    return EXIT_DONE;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        args.emplace_back(argv[i]);
    }
    SimulatorOptions options;
    std::string error;
    if (!options.Parse(args, error)) {
        return Fail(EXIT_BAD_INPUT, error + "\nTry ReceiverSimulator --help.");
    }
    if (options.help) {
        std::fputs(SimulatorOptions::Usage(), stdout);
        return EXIT_DONE;
    }
    std::vector<Step> steps = options.steps;
    if (!options.scriptPath.empty() && !LoadScript(options.scriptPath, steps, error)) {
        return Fail(EXIT_BAD_INPUT, error);
    }
    return Run(options, steps);
}
