#!/usr/bin/env bash
# Installs what Vantor needs to build, test and run on Debian 12. Safe to run twice.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-charts-dev libgl-dev
    libsqlite3-dev sqlite3
    xvfb xauth poppler-utils locales fonts-dejavu-core
    dpkg-dev file librsvg2-bin desktop-file-utils appstream
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"
fi

# The tests run in an English (United States) locale.
if ! locale -a 2>/dev/null | grep -qi '^en_US\.utf8$'; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo sed -i 's/^# *en_US.UTF-8 UTF-8/en_US.UTF-8 UTF-8/' /etc/locale.gen
    $sudo locale-gen >/dev/null
fi
