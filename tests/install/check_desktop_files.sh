#!/usr/bin/env bash
# Validates the desktop entry and the AppStream metainfo with the desktop's
# own validators. Arguments: desktop entry, metainfo file.
source "$(dirname "$0")/common.sh"
desktop=$1 metainfo=$2
missing=()
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate $desktop"
else
    missing+=(desktop-file-validate)
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate $metainfo"
else
    missing+=(appstreamcli)
fi
if [ ${#missing[@]} -gt 0 ]; then
    echo "SKIP: ${missing[*]} not installed (scripts/setup.sh installs them)."
    exit 77
fi
echo "Desktop entry and metainfo are valid."
