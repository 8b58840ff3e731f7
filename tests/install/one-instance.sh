#!/usr/bin/env bash
# One HourMark per folder: a second start in the folder of a running HourMark brings the running
# one's window up and ends with exit code 0 before it touches the host; the first keeps running
# and the next slot is announced once. A copy in another folder still starts beside it.
# The slot comes a minute or so after start-up without faking the clock (libfaketime cannot run
# a 32-bit program): HourMark is given a time zone whose whole-minute offset puts a quarter hour
# on the next real minute.
# Usage: one-instance.sh <build tree> <source tree>
set -u
BUILD=$1 SRC=$2
. "$SRC/tests/e2e/lib.sh"
T=$'\t'
OTHER_DIR= OTHER_PID=
cleanup() {
    local rc=$?
    if [ -n "$OTHER_PID" ] && kill -0 "$OTHER_PID" 2>/dev/null; then
        nodesim close >/dev/null 2>&1
        sleep 3
        kill "$OTHER_PID" 2>/dev/null
    fi
    [ -n "$OTHER_DIR" ] && rm -rf "$OTHER_DIR"
    (exit "$rc")
    hourmark_cleanup
}
trap cleanup EXIT

fresh_simulator
call=$(nodesim state | sed -n 's/^callsign=\([^ ]*\) .*/\1/p')
[ -n "$call" ] || fail "no callsign in the simulator's state"
spoken=${call%-L}

hourmark_dir
# Every quarter hour announced, nothing sent, no node.
settings_lines '1,1,1' '0,0,0' '' '' ' 0 ' ' 0 ' \
    ',0,,,0' ',0,,,0' ',0,,,0' ',0,,,0' ',0,,,0' ',0,,,0' ',0,,,0' ',0,,,0' >"$HM_DIR/hourmark.ini"

# The slot: the first real minute at least 40 s away (start-up and the second start come
# before it); the zone's offset makes it a local quarter hour.
now=$(date +%s)
slot=$((((now + 40 + 59) / 60) * 60))
ahead=$(((15 - (slot / 60) % 15) % 15))
zone=$(printf 'HMT-0:%02d' "$ahead")

start_hourmark TZ="$zone"
wait_for_trace "call${T}IsBusyA" 30 || fail "HourMark did not come up"
starts=$(trace_count "get${T}SysopConfig.KeyingLine")
[ "$starts" -ge 1 ] || fail "no keying line read at start-up: $(trace_lines | head -20)"
first_pid=$HM_PID
xdotool search --onlyvisible --name '^HourMark - ' >/dev/null 2>&1 &&
    fail "HourMark's window shows after start-up"

# The second start, in the same folder.
"$SRC/cmake/wine-run" "$HM_DIR/hourmark.exe" >"$HM_DIR/second-output.txt" 2>&1 &
second=$!
deadline=$((SECONDS + 15))
while kill -0 "$second" 2>/dev/null && [ "$SECONDS" -lt "$deadline" ]; do
    sleep 0.1
done
kill -0 "$second" 2>/dev/null && { kill "$second"; fail "the second start still runs after 15 s"; }
wait "$second"
rc=$?
[ "$rc" = 0 ] || fail "the second start ended with exit code $rc"
kill -0 "$first_pid" 2>/dev/null || fail "the first HourMark ended"
[ "$(trace_count "get${T}SysopConfig.KeyingLine")" = "$starts" ] || fail "the second start reached the host"
# As a left click on the tray icon: the running one's window comes up.
window=
for _ in $(seq 50); do
    window=$(xdotool search --onlyvisible --name '^HourMark - ' 2>/dev/null | head -1)
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || fail "the second start did not bring the running HourMark's window up"

while [ "$(date +%s)" -lt $((slot + 8)) ]; do
    sleep 0.5
done
hourmark_running || fail "HourMark ended before the slot"
announcements=$(trace_lines | grep -c -x "call${T}SpeakText${T}${spoken}")
[ "$announcements" = 1 ] || fail "$announcements announcements of the slot (zone $zone)"

# A copy in another folder is a station of its own: it starts beside the first.
OTHER_DIR=$(mktemp -d "${TMPDIR:-/tmp}/hourmark-e2e.XXXXXX") || fail "cannot make a directory"
cp "$HM_DIR/hourmark.exe" "$HM_DIR/hourmark.ini" "$OTHER_DIR/"
"$SRC/cmake/wine-run" "$OTHER_DIR/hourmark.exe" >"$OTHER_DIR/wine-output.txt" 2>&1 &
OTHER_PID=$!
for _ in $(seq 100); do
    [ "$(trace_count "get${T}SysopConfig.KeyingLine")" -gt "$starts" ] && break
    sleep 0.2
done
[ "$(trace_count "get${T}SysopConfig.KeyingLine")" -gt "$starts" ] ||
    fail "a copy in another folder did not start while the first ran"
kill -0 "$OTHER_PID" 2>/dev/null || fail "the copy in another folder ended"
hourmark_running || fail "the first HourMark ended when another folder's copy started"
echo "one HourMark per folder: passed (slot at $(date -d "@$slot" +%T) real, zone $zone)"
