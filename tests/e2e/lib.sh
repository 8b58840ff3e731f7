# Shell helpers for driving the node simulator (and, later, HourMark) under the build tree's
# Wine prefix. Source it with the build tree and the source tree set:
#   BUILD=/path/to/build/windows SRC=/path/to/source . tests/e2e/lib.sh
: "${BUILD:?}" "${SRC:?}"
export HOURMARK_WINEPREFIX="$BUILD/wineprefix"
NODESIM_EXE="$BUILD/tools/nodesim/nodesim.exe"
NODESIM_TRACE="$BUILD/tools/nodesim/nodesim-trace.txt"

# nodesim VERB ARGS...: runs one command; its answer on stdout (CR removed), its exit code kept.
nodesim() {
    local out rc
    out=$("$SRC/cmake/wine-run" "$NODESIM_EXE" "$@")
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

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
