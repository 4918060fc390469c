#!/usr/bin/env bash
# Builds everything and runs every test: native ones under ASan/UBSan and the
# Windows ones under Wine in a fresh harness (scripts/harness.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${RC_BUILD_DIR:-$root/build}
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"
export RC_MODEM_SHIM=$build/native/tests/harness/libmodem_shim.so
exec "$root/scripts/with-harness" ctest --test-dir "$build" --output-on-failure --timeout 300 \
    -j "$(nproc)" "$@"
