#include "ClassifyLinkError.h"

namespace {

// The codes that drivers of vanished, reset or re-enumerated serial adapters
// (USB, Bluetooth, virtual) fail a pending or new call with.
constexpr std::uint32_t DEVICE_GONE_CODES[] = {
    1,    // ERROR_INVALID_FUNCTION
    5,    // ERROR_ACCESS_DENIED
    6,    // ERROR_INVALID_HANDLE
    20,   // ERROR_BAD_UNIT
    21,   // ERROR_NOT_READY
    22,   // ERROR_BAD_COMMAND
    31,   // ERROR_GEN_FAILURE
    55,   // ERROR_DEV_NOT_EXIST
    433,  // ERROR_NO_SUCH_DEVICE
    995,  // ERROR_OPERATION_ABORTED
    1117, // ERROR_IO_DEVICE
    1167, // ERROR_DEVICE_NOT_CONNECTED
    1617, // ERROR_DEVICE_REMOVED
};

} // namespace

LinkError ClassifyLinkError(std::uint32_t dwError) {
    for (std::uint32_t dwCode : DEVICE_GONE_CODES) {
        if (dwCode == dwError) {
            return LinkError::DeviceGone;
        }
    }
    return LinkError::Fault;
}
