// The harness's monitors. scripts/with-harness with RC_TWO_MONITORS=1 gives two
// side by side: 1280x1024 at 0,0 (primary) and 1024x768 at 1280,0. A test
// that needs them skips cleanly without:
//     if (!harness::HasTwoMonitors())
//         GTEST_SKIP() << harness::TWO_MONITORS_NEEDED;
#pragma once

#include <windows.h>

#include <vector>

namespace harness {

constexpr const char* TWO_MONITORS_NEEDED =
    "needs two monitors: RC_TWO_MONITORS=1 scripts/with-harness ...";

// The monitors' rectangles in EnumDisplayMonitors order.
std::vector<RECT> Monitors();
// The harness was started with two monitors and Wine shows both.
bool HasTwoMonitors();

} // namespace harness
