#!/usr/bin/env bash
# Sets everything up, builds, and makes the Debian package in build/ (or
# $VANTOR_BUILD_DIR); prints the package's path.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
build=${VANTOR_BUILD_DIR:-$root/build}
cd "$build"
cpack -G DEB >cpack.log 2>&1 || { cat cpack.log; exit 1; }
sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p' cpack.log
