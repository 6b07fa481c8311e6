#!/usr/bin/env bash
# Builds the program and saves pictures of its windows into DIR (default
# build/screenshots) on the offscreen platform. With VANTOR_SCREENSHOT_DIR
# set, ctest also leaves the tests' pictures there.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VANTOR_BUILD_DIR:-$root/build}
out=$(realpath -m "${1:-$build/screenshots}")
cmake --build "$build" --target vantor-screenshots >/dev/null
QT_QPA_PLATFORM=offscreen LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 \
    "$build/tools/screenshots/vantor-screenshots" "$out" 2> >(grep -v "^This plugin does not support" >&2)
