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

# Starts the program under $1 in folder $2 (further arguments passed on) and
# stops it after a few seconds; fails if it ended by itself before that.
run_briefly() {
    local bin=$1 folder=$2
    shift 2
    local got=0
    (cd "$folder" && XDG_DATA_HOME="$scratch/xdg" QT_QPA_PLATFORM=offscreen \
        timeout 3 "$bin/vantor" "$@" >"$scratch/run.log" 2>&1) || got=$?
    [ "$got" -eq 124 ] || fail "vantor $* in $folder ended with $got: $(cat "$scratch/run.log")"
}

# Which folder the program takes, seen from outside: the per-user data folder
# is made only when neither the start folder nor --data holds the database.
check_data_folder() {
    local bin=$1
    mkdir -p "$scratch/with" "$scratch/without" "$scratch/named"
    "$bin/vantor-db" create "$scratch/with/vantor.mdb" >/dev/null
    "$bin/vantor-db" create "$scratch/named/vantor.mdb" >/dev/null
    run_briefly "$bin" "$scratch/with"
    [ ! -e "$scratch/xdg/Vantor" ] || fail "started beside a database, vantor made the data folder"
    run_briefly "$bin" "$scratch/without" --data ../named
    [ ! -e "$scratch/xdg/Vantor" ] || fail "with --data, vantor made the data folder"
    # Here it waits for the answer to "create the database?".
    run_briefly "$bin" "$scratch/without"
    [ -d "$scratch/xdg/Vantor" ] || fail "started elsewhere, vantor did not take the data folder"
    [ ! -e "$scratch/xdg/Vantor/vantor.mdb" ] || fail "vantor made a database without asking"
}
