#!/usr/bin/env bash
# Runs the Windows benchmarks given as arguments one after the other; called by
# the `bench` target inside scripts/with-harness.
set -euo pipefail
for exe in "$@"; do
    echo "== ${exe##*/}"
    "$(dirname "$0")/wine-exec" "$exe"
done
