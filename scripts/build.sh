#!/usr/bin/env bash
# Configures and builds Vantor into build/ (or $VANTOR_BUILD_DIR).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VANTOR_BUILD_DIR:-$root/build}
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=${VANTOR_BUILD_TYPE:-RelWithDebInfo} \
    -DVANTOR_WERROR=${VANTOR_WERROR:-$werror} >/dev/null
cmake --build "$build" -j "$(nproc)"
