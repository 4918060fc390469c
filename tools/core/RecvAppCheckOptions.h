// The command line of the tool that tells which window gets the keys.
#pragma once

#include <string>
#include <vector>

class RecvAppCheckOptions {
public:
    // args without the program name. On failure error says what is wrong.
    bool Parse(const std::vector<std::string>& args, std::string& error);

    static const char* Usage();

    bool help = false;
    std::string iniPath; // empty: the RecvApp.ini that KV480 reads
};
