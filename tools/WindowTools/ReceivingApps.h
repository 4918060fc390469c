// What the key sender and the window check share: the receiving-application
// list loaded as KV480 loads it, and a window described for people.
#pragma once

#include <windows.h>

#include <string>

class CRecvApp;

class ReceivingApps {
public:
    // Loads iniPath, or (when empty) the RecvApp.ini that KV480 reads, through
    // KV480's own code. source tells which file that is. On failure error
    // holds the message KV480 would show before it ends.
    static bool Load(CRecvApp& apps, const std::string& iniPath, std::string& source,
                     std::string& error);

    // "0x000100A2 "Remote Control Demo" (class KV480DemoReceiver, process 52)".
    static std::string DescribeWindow(HWND hWnd);
    // "0x000100A2".
    static std::string WindowHandle(HWND hWnd);
};
