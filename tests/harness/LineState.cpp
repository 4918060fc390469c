#include "LineState.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace harness {

std::string WindowsPathFromEnv(const char* variable) {
    const char* value = std::getenv(variable);
    if (value == nullptr || *value != '/')
        return std::string();
    std::string path = std::string("Z:") + value;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

static std::string RecordPath(const std::string& port) {
    std::string dir = WindowsPathFromEnv("RC_LINESTATE_DIR");
    return dir.empty() ? dir : dir + "\\lines-" + port;
}

bool ReadLineState(const std::string& port, LineState& state) {
    std::string path = RecordPath(port);
    if (path.empty())
        return false;
    FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr)
        return false;
    char parity[16] = "";
    LineState read;
    int fields = std::fscanf(file, "dtr=%d rts=%d baud=%d bits=%d parity=%15s stop=%d", &read.dtr,
                             &read.rts, &read.baud, &read.dataBits, parity, &read.stopBits);
    std::fclose(file);
    if (fields != 6)
        return false;
    read.parity = parity;
    state = read;
    return true;
}

bool DtrRaised(const std::string& port) {
    LineState state;
    return ReadLineState(port, state) && state.dtr == 1;
}

void ClearLineState(const std::string& port) {
    // The port's entry links to the shim's record: emptying it through the link
    // leaves the link in place for the next record.
    std::string path = RecordPath(port);
    if (path.empty())
        return;
    FILE* file = std::fopen(path.c_str(), "w");
    if (file != nullptr)
        std::fclose(file);
}

static std::string FlagPath(const std::string& name) {
    std::string dir = WindowsPathFromEnv("RC_LINESTATE_DIR");
    return dir.empty() ? dir : dir + "\\" + name;
}

static void SetFlag(const std::string& name, bool set, const std::string& content = "") {
    std::string flag = FlagPath(name);
    if (flag.empty())
        return;
    if (!set) {
        std::remove(flag.c_str());
        return;
    }
    FILE* file = std::fopen(flag.c_str(), "w");
    if (file != nullptr) {
        std::fputs(content.c_str(), file);
        std::fclose(file);
    }
}

void BlockConfiguration(const std::string& port, bool blocked) {
    SetFlag("fail-" + port, blocked);
}

void RefuseModemLines(const std::string& port, bool refused) {
    SetFlag("nolines-" + port, refused);
}

void HangPortSetUp(const std::string& port, int seconds) {
    SetFlag("hang-" + port, seconds > 0, std::to_string(seconds));
}

void FailNextRead(const std::string& port) {
    SetFlag("readfail-" + port, true);
}

bool ReadFailureTaken(const std::string& port) {
    const std::string flag = FlagPath("readfail-" + port);
    return !flag.empty() && GetFileAttributesA(flag.c_str()) == INVALID_FILE_ATTRIBUTES;
}

// Runs the harness's port script (a Unix program, which Wine starts without a
// process handle) and waits for the file it creates when done.
static bool RunPortScript(const char* operation, const std::string& port) {
    const char* script = std::getenv("RC_HARNESS_PORT");
    const std::string partner = PartnerPort(port);
    const std::string dir = WindowsPathFromEnv("RC_LINESTATE_DIR");
    if (script == nullptr || partner.empty() || dir.empty() || port.size() < 4)
        return false;
    const std::string doneName = std::string("done-") + operation + "-" + port;
    const std::string donePath = dir + "\\" + doneName;
    std::remove(donePath.c_str());
    std::string command = std::string("/bin/bash \"") + script + "\" " + operation + " " +
                          port.substr(3) + " " + partner.substr(3) + " " + doneName;
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    if (process.hProcess != nullptr)
        CloseHandle(process.hProcess);
    if (process.hThread != nullptr)
        CloseHandle(process.hThread);
    for (int i = 0; i < 1000; ++i) { // 20 s at most
        if (GetFileAttributesA(donePath.c_str()) != INVALID_FILE_ATTRIBUTES) {
            std::remove(donePath.c_str());
            return true;
        }
        Sleep(20);
    }
    return false;
}

bool UnplugPort(const std::string& port) {
    return RunPortScript("unplug", port);
}

bool ReplugPort(const std::string& port) {
    return RunPortScript("replug", port);
}

std::string PartnerPort(const std::string& port) {
    const char* pairs = std::getenv("RC_PORT_PAIRS");
    if (pairs == nullptr)
        return std::string();
    std::istringstream words(pairs);
    std::string pair;
    while (words >> pair) {
        size_t colon = pair.find(':');
        if (colon == std::string::npos)
            continue;
        std::string a = pair.substr(0, colon), b = pair.substr(colon + 1);
        if (a == port)
            return b;
        if (b == port)
            return a;
    }
    return std::string();
}

} // namespace harness
