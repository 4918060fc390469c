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
