#!/usr/bin/env bash
# Builds everything and runs every test: native ones under ASan/UBSan and the
# Windows ones under Wine in a fresh harness (scripts/harness.sh), those that
# need two monitors in a second harness that has them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${RC_BUILD_DIR:-$root/build}
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"
export RC_MODEM_SHIM=$build/native/tests/harness/libmodem_shim.so
# The tests that need two monitors (named *TwoMonitors*) run in a harness of
# their own, an Xorg display with two side by side; every other test in the
# usual one. Both runs print their summary; the status fails if either failed.
two_monitors=TwoMonitors
status=0
# The two-monitor run first, so that the summary of the whole suite comes last.
RC_TWO_MONITORS=1 "$root/scripts/with-harness" ctest --test-dir "$build" --output-on-failure \
    --timeout 300 -R "$two_monitors" "$@" || status=$?
"$root/scripts/with-harness" ctest --test-dir "$build" --output-on-failure --timeout 300 \
    -j "$(nproc)" -E "$two_monitors" "$@" || status=$?
exit "$status"
