// What the harness's modem shim recorded for a virtual COM port: the modem
// lines and line settings that a program set on it, read from the pty itself.
#pragma once

#include <string>

namespace harness {

struct LineState {
    int dtr = -1;
    int rts = -1;
    int baud = -1;
    int dataBits = -1;
    std::string parity; // "none", "odd" or "even"
    int stopBits = -1;
};

// Reads the record for port ("COM1"); false when nothing was recorded yet.
bool ReadLineState(const std::string& port, LineState& state);

// Whether a program has port ("COM1") open: the programs raise DTR on opening.
bool DtrRaised(const std::string& port);

// Removes the record, so that a later read shows only what comes after.
void ClearLineState(const std::string& port);

// While blocked, setting up port ("COM1") fails as on a faulty device:
// SetCommState on it reports an error.
void BlockConfiguration(const std::string& port, bool blocked);

// While refused, setting the modem lines (DTR, RTS) of port ("COM1") fails,
// as with a driver that has no control of them.
void RefuseModemLines(const std::string& port, bool refused);

// While seconds > 0, the first modem-line call of each process on port
// ("COM1") hangs that long, as the set-up of a port that connects first does
// (a Bluetooth port). 0 ends it.
void HangPortSetUp(const std::string& port, int seconds);

// The next read of port ("COM1") fails with ERROR_INVALID_PARAMETER, as a
// driver's fault; true once that read has happened.
void FailNextRead(const std::string& port);
bool ReadFailureTaken(const std::string& port);

// Ends the harness's pair of port ("COM1"), as a receiver that vanishes
// without a word: whoever has it open reads a hung-up line. Replug makes a new
// pair under the same names. Each waits until done; false when it failed.
bool UnplugPort(const std::string& port);
bool ReplugPort(const std::string& port);

// The other end of the harness's null-modem pair for port ("COM1" -> "COM11");
// empty when port is not part of a pair.
std::string PartnerPort(const std::string& port);

// A Unix path from the harness environment as a Windows path (drive Z:).
std::string WindowsPathFromEnv(const char* variable);

} // namespace harness
