#!/usr/bin/env bash
# Builds the Debian package, inspects it, unpacks it into a scratch root and
# runs the tools from there. Arguments: build folder, version, application id.
source "$(dirname "$0")/common.sh"
build=$1 version=$2 id=$3

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/deb" >"$scratch/cpack.log" 2>&1 ||
    fail "cpack: $(cat "$scratch/cpack.log")"
deb=$scratch/deb/vantor_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no $deb: $(ls "$scratch/deb")"

info=$(dpkg-deb -I "$deb")
grep -q "^ Package: vantor$" <<<"$info" || fail "package name: $info"
grep -q "^ Version: $version$" <<<"$info" || fail "package version: $info"
# The run-time dependencies come from the libraries the programs link.
depends=$(grep "^ Depends:" <<<"$info") || fail "no Depends: $info"
for library in libc6 libqt6core6 libqt6widgets6 libqt6charts6 libqt6printsupport6 libsqlite3-0; do
    grep -q "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
done

contents=$(dpkg-deb -c "$deb")
for file in usr/bin/vantor usr/bin/vantor-db usr/bin/vantor-calc \
    "usr/share/applications/$id.desktop" "usr/share/metainfo/$id.metainfo.xml" \
    "usr/share/icons/hicolor/scalable/apps/$id.svg" "usr/share/icons/hicolor/48x48/apps/$id.png"; do
    grep -q " \./$file$" <<<"$contents" || fail "the package lacks /$file"
done

dpkg -x "$deb" "$scratch/root"
check_programs "$scratch/root/usr/bin" "$version"
echo "Package $(basename "$deb"): all checks passed."
