#!/usr/bin/env bash
# The Wine session ending under a running HourMark (wineboot --end-session): HourMark agrees,
# saves its settings and ends with exit code 0.
# Usage: station-session-end.sh <build tree> <source tree>
set -u
BUILD=$1 SRC=$2
. "$SRC/tests/e2e/lib.sh"
trap hourmark_cleanup EXIT
T=$'\t'

fresh_simulator
# EchoLink keys the transmitter on RTS: HourMark clears its RTS box at start-up, a change that
# only the save at the end can bring into the file.
nodesim keyingline 2 >/dev/null || fail "keyingline"

hourmark_dir
ini=$HM_DIR/hourmark.ini
# A file the reader takes but HourMark would never write: LF line ends, blanks around the
# fields, a quoted path, a plus sign, a lower-case callsign, empty number fields, and none of the
# 50 empty lines at the end. Only a save can turn it into the canonical form below.
printf '%s\n' \
    ' 1 , 0 ,1' \
    "0,${T}1, 0 " \
    '"C:\sounds\id.wav"  ' \
    '  C:\sounds   ' \
    '1' \
    '  1' \
    'qx5ab-l , 0 , 07:00 , 19:30 , 45' \
    'QX6CD-R,0,22:00,06:00,+20' \
    ',,,,' ',,,,' ',,,,' ',,,,' ',,,,' ',,,,' >"$ini"
cp "$ini" "$HM_DIR/written.ini"
settings_lines '1,0,1' '0,1,0' 'C:\sounds\id.wav' 'C:\sounds' ' 0 ' ' 1 ' \
    'QX5AB-L,0,07:00,19:30,45' 'QX6CD-R,0,22:00,06:00,20' \
    ',0,,,0' ',0,,,0' ',0,,,0' ',0,,,0' ',0,,,0' ',0,,,0' >"$HM_DIR/expected.ini"

start_hourmark
# Timer1 asks IsBusyA: start-up is over and the message loop runs.
wait_for_trace "call${T}IsBusyA" 60 || fail "HourMark did not come up"
hourmark_running || fail "HourMark ended by itself"
expect_file "$ini" "$HM_DIR/written.ini" || fail "HourMark rewrote its settings at start-up"
[ ! -e "$ini.bad" ] || fail "HourMark took the settings file for a damaged one"

HOURMARK_WINE_TIMEOUT=30 "$SRC/cmake/wine-run" wineboot --end-session ||
    fail "wineboot --end-session failed"
wait_hourmark_end 10 || fail "HourMark still runs 10 s after the end of the session"
[ "$HM_RC" = 0 ] || fail "HourMark's exit code at the end of the session: $HM_RC"
expect_file "$ini" "$HM_DIR/expected.ini" || fail "the settings were not saved at the end"
[ ! -e "$ini.bad" ] || fail "a damaged-file copy appeared"
echo "session end: passed"
