#!/usr/bin/env bash
# An auto-connect pass: about a minute after start-up HourMark links the auto entry whose daily
# window holds the time, leaves the others alone and pauses for the entry's delay; the host
# closing during that pause ends HourMark within 3 s, its settings saved.
# Usage: station-auto-connect.sh <build tree> <source tree>
set -u
BUILD=$1 SRC=$2
. "$SRC/tests/e2e/lib.sh"
trap hourmark_cleanup EXIT
T=$'\t'

fresh_simulator

# Windows an hour either side of now (crossing midnight when now is near it), and one that is
# two hours ahead.
around=$(date -d '-60 min' +%H:%M),$(date -d '+60 min' +%H:%M)
later=$(date -d '+120 min' +%H:%M),$(date -d '+180 min' +%H:%M)
hourmark_dir
ini=$HM_DIR/hourmark.ini
# The first entry is outside its window, the third not marked auto, the fourth (after the one to
# link) outside again: during the pause it must not be looked at. Written with LF line ends and
# a lower-case callsign, which only a save turns into HourMark's own form.
printf '%s\n' '0,0,0' '0,0,0' '' '' '0' '0' \
    "QX6OUT-L,1,$later,5" \
    "QX5AB-L,1,$around,30" \
    "qx7off-r,0,$around,5" \
    "QX8LATE-L,1,$later,5" \
    ',,,,' ',,,,' ',,,,' ',,,,' >"$ini"
settings_lines '0,0,0' '0,0,0' '' '' ' 0 ' ' 0 ' \
    "QX6OUT-L,1,$later,5" "QX5AB-L,1,$around,30" "QX7OFF-R,0,$around,5" \
    "QX8LATE-L,1,$later,5" ',0,,,0' ',0,,,0' ',0,,,0' ',0,,,0' >"$HM_DIR/expected.ini"

start_hourmark
wait_for_trace "call${T}IsBusyA" 60 || fail "HourMark did not come up"
started=$SECONDS
# The pass comes with the first tick of the minute timer.
wait_for_trace "call${T}Connect${T}" 90 || fail "no Connect within 90 s of start-up"
connected=$SECONDS
[ $((connected - started)) -ge 50 ] ||
    fail "the pass came $((connected - started)) s after start-up"
trace_lines | grep -q -x "call${T}Connect${T}QX5AB-L${T}0" ||
    fail "Connect was not for QX5AB-L with 0: $(trace_lines | grep "${T}Connect${T}")"
# The simulator brings the link up a second later; HourMark hears of it during its pause.
for _ in $(seq 50); do
    grep -q 'connected: QX5AB-L' "$HM_DIR/HourMarkLog.txt" 2>/dev/null && break
    sleep 0.1
done
sleep 2
hourmark_running || fail "HourMark ended during the pass"

log=$(tr -d '\r' <"$HM_DIR/HourMarkLog.txt" 2>/dev/null)
stamp='[0-9][0-9]/[0-9][0-9]/[0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9]'
expected_log="HourMark Connect try: QX5AB-L
<EchoLink> connected: QX5AB-L"
[ "$(sed "s#^$stamp ##" <<<"$log")" = "$expected_log" ] || fail "the log: $log"
grep -q -v "^$stamp " <<<"$log" && fail "a log line without its time: $log"
[ "$(trace_count "call${T}Connect${T}")" = 1 ] || fail "more than one Connect"
# After Connect the pass is pausing: nothing more of it, QX8LATE-L not even asked about.
after=$(trace_lines | sed -n "/^call${T}Connect${T}/,\$p" | grep -v -x \
    -e "call${T}IsTransmitting" -e "call${T}IsBusyA" -e "call${T}IsBusyB" \
    -e "call${T}Connect${T}QX5AB-L${T}0" \
    -e "event${T}Connected${T}QX5AB-L${T}.*")
[ -z "$after" ] || fail "the pass went on during its pause: $after"

# The host closes; HourMark must be gone within 3 s of the Closing event.
nodesim close >"$HM_DIR/close.txt" 2>&1 &
closer=$!
wait_hourmark_end 15 || fail "HourMark still runs 15 s after the host began closing"
ended=$(date +%s%3N)
wait "$closer" || fail "nodesim close: $(cat "$HM_DIR/close.txt")"
closing=$(tr -d '\r' <"$NODESIM_TRACE" | awk -F'\t' '$2 == "event" && $3 == "Closing" { print $1 }')
[ -n "$closing" ] || fail "no Closing in the trace"
took=$((ended - $(date -d "$closing" +%s%3N)))
[ "$took" -le 3000 ] || fail "HourMark ended $took ms after the host's Closing"
[ "$HM_RC" = 0 ] || fail "HourMark's exit code after the host closed: $HM_RC"
expect_file "$ini" "$HM_DIR/expected.ini" || fail "the settings were not saved when the host closed"
echo "auto-connect pass: passed (ended $took ms after Closing)"
