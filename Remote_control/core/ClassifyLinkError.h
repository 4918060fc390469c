// What a failure of the watch thread's port calls means for the link.
#pragma once

#include <cstdint>

enum class LinkError {
    // The adapter went away or was reset: reopen the port until it is back.
    DeviceGone,
    // Anything else: report the fault.
    Fault,
};

// dwError: the Win32 error code of the failing call (0 when there was none).
LinkError ClassifyLinkError(std::uint32_t dwError);
