#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks the tree a user gets.
# Arguments: build folder, version, application id.
source "$(dirname "$0")/common.sh"
build=$1 version=$2 id=$3
prefix=$scratch/prefix

cmake --install "$build" --prefix "$prefix" >"$scratch/install.log" || fail "$(cat "$scratch/install.log")"

# Exactly these files: nothing of the build (tests, benchmarks, help file) leaks in.
expected="bin/vantor
bin/vantor-calc
bin/vantor-db
share/applications/$id.desktop"
for size in 16 24 32 48 64 128 256; do
    expected+=$'\n'"share/icons/hicolor/${size}x${size}/apps/$id.png"
done
expected+=$'\n'"share/icons/hicolor/scalable/apps/$id.svg
share/metainfo/$id.metainfo.xml"
actual=$(cd "$prefix" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
expected=$(echo "$expected" | LC_ALL=C sort)
[ "$actual" = "$expected" ] || fail "installed files differ:"$'\n'"$(diff <(echo "$expected") <(echo "$actual"))"

for size in 16 24 32 48 64 128 256; do
    png=$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png
    [ "$(png_size "$png")" = "${size}x${size}" ] || fail "$png is $(png_size "$png")"
done
grep -q "<svg" "$prefix/share/icons/hicolor/scalable/apps/$id.svg" || fail "the SVG icon is no SVG"

desktop=$prefix/share/applications/$id.desktop
grep -qx "Exec=vantor" "$desktop" || fail "the desktop entry does not start vantor"
grep -qx "Icon=$id" "$desktop" || fail "the desktop entry does not name the icon"
grep -qx "Categories=Office;MedicalSoftware;" "$desktop" || fail "desktop entry categories"
metainfo=$prefix/share/metainfo/$id.metainfo.xml
grep -q "<id>$id</id>" "$metainfo" || fail "metainfo id"
grep -q "<release version=\"$version\"" "$metainfo" || fail "metainfo release is not $version"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "metainfo does not launch the desktop entry"

check_programs "$prefix/bin" "$version"
check_data_folder "$prefix/bin"
echo "Installed tree under a scratch prefix: all checks passed."
