#!/usr/bin/env bash
# Builds everything, then shows the system at work under Wine: KV480 reads a
# simulated receiver on a virtual COM port and posts the keys to the demo
# receiving application, which logs them. Prints what arrived and saves a
# screenshot to out/demo-screen.png. With RC_USE_DISPLAY=1 and a DISPLAY set,
# it runs on that display so a person can watch.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"
export RC_MODEM_SHIM=${RC_BUILD_DIR:-$root/build}/native/tests/harness/libmodem_shim.so
exec "$root/scripts/with-harness" bash "$root/scripts/demo-run.sh"
