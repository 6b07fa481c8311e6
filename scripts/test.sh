#!/usr/bin/env bash
# Sets everything up, builds, and runs every test headless.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/check-layers.sh"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
cd "${VANTOR_BUILD_DIR:-$root/build}"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"
