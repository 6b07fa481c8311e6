#!/usr/bin/env bash
# Fails when a file in src/LAYER includes a folder above its own layer. The
# layers, lowest first, are VANTOR_LAYERS in the top CMakeLists.txt; the files
# directly in src/ (the program) and tools/ and tests/ may include anything.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
read -r -a layers < <(sed -n 's/^set(VANTOR_LAYERS \(.*\))$/\1/p' "$root/CMakeLists.txt")
if [ "${#layers[@]}" -eq 0 ]; then
    echo "check-layers: no VANTOR_LAYERS in CMakeLists.txt" >&2
    exit 1
fi
declare -A rank
for i in "${!layers[@]}"; do
    rank[${layers[$i]}]=$i
done

failed=0
for layer in "${layers[@]}"; do
    [ -d "$root/src/$layer" ] || { echo "check-layers: src/$layer is missing" >&2; failed=1; continue; }
    while IFS=: read -r file line target; do
        if [ -n "${rank[$target]+set}" ] && [ "${rank[$target]}" -gt "${rank[$layer]}" ]; then
            echo "${file#"$root"/}:$line: $layer includes $target, a layer above it"
            failed=1
        fi
    done < <(grep -rnoE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[a-z]+/' "$root/src/$layer" |
             sed -E 's/^([^:]+):([0-9]+):.*"([a-z]+)\/$/\1:\2:\3/')
done
if [ "$failed" -ne 0 ]; then
    echo "check-layers: the layers, lowest first: ${layers[*]}" >&2
    exit 1
fi
echo "check-layers: every include in src/ keeps to the layers"
