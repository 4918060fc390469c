#!/usr/bin/env bash
# Renews the screenshots of the user guide (docs/images/): builds everything
# and the setup, then installs and uses the system under Wine on its own Xvfb
# display as a new user would (scripts/screenshots-run.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${RC_BUILD_DIR:-$root/build}
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"
cmake --build "$build/win" --target dist
export RC_MODEM_SHIM=$build/native/tests/harness/libmodem_shim.so
# Room for the key-map editor at 200 %, as on a monitor that is set so.
RC_SCREEN=2560x1600x24 "$root/scripts/with-harness" bash "$root/scripts/screenshots-run.sh"
# The presenter's tools and the menu on a screen of a common size, each in a
# fresh prefix of its own.
for part in presenting menu; do
    "$root/scripts/with-harness" bash "$root/scripts/$part-screenshots-run.sh"
done
