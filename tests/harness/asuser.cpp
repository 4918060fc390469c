// asuser <program> [arguments...]: runs a program at the user's level, as
// Windows starts a user's programs (under Wine every program runs elevated),
// and ends with its exit code. The scripts that show the programs to people
// start KV480 with it, so that it behaves as on a user's desktop.
#include <windows.h>

#include <string>

#include "ProgramUnderTest.h"

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    std::string arguments;
    for (int i = 2; i < argc; ++i)
        arguments += std::string(arguments.empty() ? "" : " ") + "\"" + argv[i] + "\"";
    harness::ProgramUnderTest program;
    program.SetUnelevated(true);
    if (!program.Start(argv[1], arguments))
        return 3;
    program.WaitForExit(INFINITE);
    return static_cast<int>(program.ExitCode());
}
