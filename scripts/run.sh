#!/usr/bin/env bash
# Sets everything up, builds, creates a demo database in run/ and starts the program there.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
build=${VANTOR_BUILD_DIR:-$root/build}
work=$root/run
mkdir -p "$work"
cd "$work"
if [ ! -f vantor.mdb ]; then
    "$build/tools/vantor-db/vantor-db" demo vantor.mdb
fi
exec "$build/src/vantor"
