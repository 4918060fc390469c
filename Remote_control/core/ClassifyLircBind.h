// What a failed bind of the LIRC listener means for the user.
#pragma once

#include <string>

enum class LircBind {
    // Another program listens on the port.
    Taken,
    // Windows keeps the port for itself (a range reserved for Hyper-V, WSL or
    // Docker): no program of the user's holds it, so none can be closed.
    Reserved,
    // Anything else.
    Failed,
};

// nError: the Winsock error of bind; bListened: whether any socket on this
// PC listens on the port. Windows answers WSAEACCES both for a port another
// program holds exclusively and for a reserved one.
LircBind ClassifyLircBind(int nError, bool bListened);

// The tray's balloon while the port cannot be taken (bReserved: by Windows).
constexpr const char* LIRC_PORT_TAKEN_TITLE = "Remote Control: LIRC port in use";
std::string LircPortTakenText(unsigned int nPort, bool bReserved);
