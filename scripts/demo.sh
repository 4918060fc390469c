#!/usr/bin/env bash
# Builds everything; the demonstration run of the resident program follows it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"
