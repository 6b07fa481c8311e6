# Shared by the install checks: failing with a message, and a scratch folder
# that goes away at the end.
set -euo pipefail
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Runs a command; fails unless it exits with the given code. Its output is in
# $scratch/out and $scratch/err afterwards.
expect_exit() {
    local code=$1
    shift
    local got=0
    "$@" >"$scratch/out" 2>"$scratch/err" || got=$?
    [ "$got" -eq "$code" ] || fail "$* exited with $got, not $code: $(cat "$scratch/err")"
}

# Width and height of a PNG, from its header.
png_size() {
    od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d", $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }'
}

# Checks the programs of an installed tree under $1 (its bin folder) as a
# user would run them, on version $2.
check_programs() {
    local bin=$1 version=$2
    # --version answers without a display, so also over ssh.
    for program in vantor vantor-db vantor-calc; do
        expect_exit 0 env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin/$program" --version
        [ "$(cat "$scratch/out")" = "$program $version" ] ||
            fail "$program --version says \"$(cat "$scratch/out")\", not \"$program $version\""
    done
    expect_exit 0 env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin/vantor" --help
    grep -q -- "--data DIR" "$scratch/out" || fail "vantor --help does not tell about --data"
    expect_exit 2 env QT_QPA_PLATFORM=offscreen "$bin/vantor" --colour
    grep -q "unknown option --colour" "$scratch/err" || fail "vantor --colour: $(cat "$scratch/err")"
    expect_exit 2 "$bin/vantor-calc" --colour
    expect_exit 2 "$bin/vantor-calc"
    expect_exit 0 "$bin/vantor-calc" --help
    expect_exit 2 "$bin/vantor-db" drop

    (
        cd "$scratch"
        expect_exit 0 "$bin/vantor-db" create vantor.mdb
        expect_exit 0 "$bin/vantor-db" check vantor.mdb
        expect_exit 1 "$bin/vantor-db" create vantor.mdb
    )
    expect_exit 0 "$bin/vantor-calc" --list
    [ "$(wc -l <"$scratch/out")" -eq 23 ] || fail "vantor-calc --list: $(wc -l <"$scratch/out") calculators"
    expect_exit 0 "$bin/vantor-calc" "Total Cholesterol-to-HDL Cholesterol Ratio" Gender=Male \
        Chol=200 UnitChol=mg/dL HDL=50 UnitHDL=mg/dL
    grep -q '"result":"4.00"' "$scratch/out" || fail "vantor-calc ratio: $(cat "$scratch/out")"
}
