# Shell helpers for driving the node simulator (and, later, HourMark) under the build tree's
# Wine prefix. Source it with the build tree and the source tree set:
#   BUILD=/path/to/build/windows SRC=/path/to/source . tests/e2e/lib.sh
: "${BUILD:?}" "${SRC:?}"
export HOURMARK_WINEPREFIX="$BUILD/wineprefix"
# The simulator the tests drive (HOURMARK_NODESIM: the 32-bit one, as a station's host is, when
# this tree is 64-bit), and the nodesim.exe whose command line drives it (this tree's own).
NODESIM_EXE="${HOURMARK_NODESIM:-$BUILD/tools/nodesim/nodesim.exe}"
NODESIM_CLIENT="$BUILD/tools/nodesim/nodesim.exe"
NODESIM_TRACE="$(dirname "$NODESIM_EXE")/nodesim-trace.txt"

# nodesim VERB ARGS...: runs one command; its answer on stdout (CR removed), its exit code kept.
# Registration is the simulator's own; every other verb goes through the command line.
nodesim() {
    local out rc exe="$NODESIM_CLIENT"
    case "${1:-}" in /RegServer | /UnregServer) exe="$NODESIM_EXE" ;; esac
    out=$("$SRC/cmake/wine-run" "$exe" "$@")
    rc=$?
    printf '%s' "$out" | tr -d '\r'
    [ -n "$out" ] && echo
    return $rc
}

# The trace without the time column: "kind<TAB>member<TAB>args...".
trace_lines() {
    [ -f "$NODESIM_TRACE" ] || return 0
    tr -d '\r' <"$NODESIM_TRACE" | cut -f2-
}

# trace_count 'call<TAB>SpeakText' ...: how many trace lines start with that text.
trace_count() {
    trace_lines | grep -c -F -- "$1" || true
}

# wait_for_trace TEXT [SECONDS]: until a trace line starts with TEXT (default 10 s).
wait_for_trace() {
    local deadline=$((SECONDS + ${2:-10}))
    while [ "$SECONDS" -lt "$deadline" ]; do
        trace_lines | grep -q -F -- "$1" && return 0
        sleep 0.2
    done
    echo "no trace line with: $1" >&2
    return 1
}

# fresh_simulator: the simulator registered, in its first state, with an empty trace.
fresh_simulator() {
    nodesim /RegServer >/dev/null || fail "/RegServer"
    nodesim reset >/dev/null || fail "reset"
    nodesim trace clear >/dev/null || fail "trace clear"
}

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# ---- HourMark itself ------------------------------------------------------------------------
# Each script runs its own copy of hourmark.exe in a fresh directory, because the program keeps
# its settings and log beside itself.
HOURMARK_EXE="$BUILD/src/win32/hourmark.exe"
HM_DIR=
HM_PID=
HM_RC=

# hourmark_dir: makes HM_DIR and copies hourmark.exe into it.
hourmark_dir() {
    HM_DIR=$(mktemp -d "${TMPDIR:-/tmp}/hourmark-e2e.XXXXXX") || fail "cannot make a directory"
    cp "$HOURMARK_EXE" "$HM_DIR/" || fail "cannot copy $HOURMARK_EXE"
}

# win_path PATH: the name a Windows program under Wine knows a Linux file by.
win_path() {
    printf 'Z:%s' "${1//\//\\}"
}

# start_hourmark [ENV=VALUE...]: starts the copy in HM_DIR in the background, with those
# variables set for it alone.
start_hourmark() {
    env "$@" "$SRC/cmake/wine-run" "$HM_DIR/hourmark.exe" >"$HM_DIR/wine-output.txt" 2>&1 &
    HM_PID=$!
}

hourmark_running() {
    [ -n "$HM_PID" ] && kill -0 "$HM_PID" 2>/dev/null
}

# wait_hourmark_end SECONDS: until HourMark has ended (its exit code then in HM_RC); fails the
# wait (returns 1) if it still runs after SECONDS.
wait_hourmark_end() {
    local deadline=$((SECONDS + $1))
    while hourmark_running && [ "$SECONDS" -lt "$deadline" ]; do
        sleep 0.1
    done
    hourmark_running && return 1
    [ -n "$HM_PID" ] || return 0
    wait "$HM_PID"
    HM_RC=$?
    HM_PID=
}

# settings_lines LINE...: the settings file as HourMark writes it: the lines given, then empty
# ones up to 64, each ending with CR LF.
settings_lines() {
    local n=0 line
    for line in "$@"; do
        printf '%s\r\n' "$line"
        n=$((n + 1))
    done
    while [ "$n" -lt 64 ]; do
        printf '\r\n'
        n=$((n + 1))
    done
}

# expect_file FILE EXPECTED: the two are byte for byte the same, else shows how they differ.
expect_file() {
    cmp -s "$1" "$2" && return 0
    echo "$1 differs from what was expected (cat -A, expected first):" >&2
    diff <(cat -A "$2") <(cat -A "$1") >&2
    return 1
}

# hourmark_cleanup: for an EXIT trap. Ends a HourMark that still runs as the host would (the
# simulator closing), killing it only if that does not work, then closes the simulator so that
# the next test starts from a fresh one. After a failure shows the log and the trace's end.
hourmark_cleanup() {
    local rc=$?
    if [ "$rc" != 0 ] && [ -n "$HM_DIR" ]; then
        echo "--- HourMarkLog.txt" >&2
        tr -d '\r' <"$HM_DIR/HourMarkLog.txt" >&2 2>/dev/null
        echo "--- the trace's last lines" >&2
        tr -d '\r' <"$NODESIM_TRACE" 2>/dev/null | tail -40 >&2
    fi
    if hourmark_running; then
        nodesim close >/dev/null 2>&1
        if ! wait_hourmark_end 10; then
            kill "$HM_PID" 2>/dev/null
            wait "$HM_PID" 2>/dev/null
        fi
    fi
    nodesim close >/dev/null 2>&1
    [ -n "$HM_DIR" ] && rm -rf "$HM_DIR"
    exit "$rc"
}
