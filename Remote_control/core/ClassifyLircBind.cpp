#include "ClassifyLircBind.h"

namespace {

// Winsock's numbers, which do not change.
constexpr int WSA_EACCES = 10013;
constexpr int WSA_EADDRINUSE = 10048;

} // namespace

LircBind ClassifyLircBind(int nError, bool bListened) {
    if (nError == WSA_EADDRINUSE) {
        return LircBind::Taken;
    }
    if (nError == WSA_EACCES) {
        return bListened ? LircBind::Taken : LircBind::Reserved;
    }
    return LircBind::Failed;
}

std::string LircPortTakenText(unsigned int nPort, bool bReserved) {
    return "Port " + std::to_string(nPort) +
           (bReserved ? " is reserved by Windows (for Hyper-V, WSL or Docker)"
                      : " is used by another program") +
           ", so programs that read the remote over the LIRC protocol get no keys. KV480 tries "
           "again every 30 seconds.";
}
