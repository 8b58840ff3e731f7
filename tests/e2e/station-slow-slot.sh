#!/usr/bin/env bash
# A slow host across a scheduled slot: with every IsTransmitting answering only after 0.9 s,
# the ticks that fall into the slot's second 0 still give one announcement and one file.
# With SLOW_MS=0 the host answers at once and two ticks fall into second 0, both finding the
# node idle (its transmissions start late): still one announcement and one file.
# HourMark runs under libfaketime, its clock set ahead so that a quarter hour comes a few seconds
# after start-up; the simulator keeps the real clock.
# Usage: station-slow-slot.sh <build tree> <source tree>
set -u
BUILD=$1 SRC=$2
. "$SRC/tests/e2e/lib.sh"
trap hourmark_cleanup EXIT
T=$'\t'
LIBFAKETIME=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1
[ -r "$LIBFAKETIME" ] || fail "libfaketime is missing (package faketime, ./scripts/install-deps)"
# Seconds from HourMark's launch to the slot: start-up under Wine takes a few.
LEAD=25

fresh_simulator
SLOW_MS=${SLOW_MS:-900}
nodesim slow IsTransmitting "$SLOW_MS" >/dev/null || fail "slow"
# Each transmission starts late, so the node still looks idle to the ticks after the presses:
# only HourMark's own memory of the slot keeps it from pressing again.
nodesim lag "${LAG_MS:-4000}" >/dev/null || fail "lag"
call=$(nodesim state | sed -n 's/^callsign=\([^ ]*\) .*/\1/p')
[ -n "$call" ] || fail "no callsign in the simulator's state"
spoken=${call%-L}

hourmark_dir
wav=$HM_DIR/tone.wav
# Half a second of 8 kHz, 8-bit mono PCM: the simulator plays only what it can read as PCM.
{
    printf 'RIFF\xc4\x0f\x00\x00WAVEfmt \x10\x00\x00\x00\x01\x00\x01\x00'
    printf '\x40\x1f\x00\x00\x40\x1f\x00\x00\x01\x00\x08\x00data\xa0\x0f\x00\x00'
    head -c 4000 /dev/zero | tr '\0' '\200'
} >"$wav"
[ "$(stat -c %s "$wav")" = 4044 ] || fail "the WAV file came out wrong"
settings_lines '1,1,1' '1,1,1' "$(win_path "$wav")" "$(win_path "$HM_DIR")" ' 0 ' ' 0 ' \
    ',0,,,0' ',0,,,0' ',0,,,0' ',0,,,0' ',0,,,0' ',0,,,0' ',0,,,0' ',0,,,0' >"$HM_DIR/hourmark.ini"

# HourMark's clock runs ahead of the real one by the offset in this file, which libfaketime
# reads again at every clock reading, so that the offset can be set finer once the ticks' phase
# is known. The wineserver and the simulator keep the real clock. File times stay true: a faked
# time on wine.inf makes Wine rebuild the prefix at every start that disagrees with the last.
offset_file=$HM_DIR/clock-offset
now=$(date +%s)
tz=$(date +%z)
tzsec=$(((10#${tz:1:2} * 3600 + 10#${tz:3:2} * 60) * ${tz:0:1}1))
# The slot (as a Unix time): the first local quarter hour at least a minute past LEAD seconds
# from now, so that the real clock is never inside it.
slot=$((((now + tzsec + LEAD + 60 + 899) / 900) * 900 - tzsec))
echo "+$((slot - now - LEAD))" >"$offset_file"
start_hourmark LD_PRELOAD="$LIBFAKETIME" FAKETIME_TIMESTAMP_FILE="$offset_file" \
    FAKETIME_NO_CACHE=1 FAKETIME_DONT_FAKE_MONOTONIC=1 NO_FAKE_STAT=1
wait_for_trace "call${T}IsBusyA" "$LEAD" || fail "HourMark did not come up"
# Millisecond times of Timer1's readings of the clock: each tick reads it right after IsBusyB.
readings() {
    tr -d '\r' <"$NODESIM_TRACE" | awk -F'\t' '$2 == "call" && $3 == "IsBusyB" { print $1 }' |
        while read -r stamp; do date -d "$stamp" +%s%3N; done
}
# With every IsTransmitting taking 0.9 s the ticks come about 1.8 s apart, so the slot's second 0
# may fall between two of them. Move the clock so that the fourth tick from the last one seen
# reads 0.15 s into the slot.
while [ "$(date +%s)" -lt $((now + LEAD - 9)) ]; do
    sleep 0.2
done
mapfile -t seen < <(readings)
[ "${#seen[@]}" -ge 3 ] || fail "only ${#seen[@]} ticks in the first seconds"
trace_lines | grep -q "${T}SpeakText${T}" && fail "HourMark spoke before the slot"
last=${seen[-1]}
period=$(((last - seen[-3]) / 2))
# A tick every 500 ms on a quick host; a slow one stretches each to its calls' time.
if [ "$SLOW_MS" = 0 ]; then lo=300 hi=900; else lo=900 hi=2500; fi
if [ "$period" -lt "$lo" ] || [ "$period" -gt "$hi" ]; then
    fail "ticks $period ms apart"
fi
aligned=$((last + 4 * period))
shift_ms=$((slot * 1000 + 150 - aligned))
printf '+%d.%03d\n' $((shift_ms / 1000)) $((shift_ms % 1000)) >"$offset_file"

# Past the slot by long enough for every press it could make.
while [ "$(date +%s%3N)" -lt $((aligned + 12000)) ]; do
    sleep 0.5
done
hourmark_running || fail "HourMark ended during the slot"

# The tick that read the clock inside the slot's second 0, by its IsBusyB line.
inslot=
ticks_in_slot=0
while read -r line stamp; do
    at=$(($(date -d "$stamp" +%s%3N) + shift_ms - slot * 1000))
    if [ "$at" -ge 0 ] && [ "$at" -lt 1000 ]; then
        [ -n "$inslot" ] || inslot=$line
        ticks_in_slot=$((ticks_in_slot + 1))
    fi
done < <(tr -d '\r' <"$NODESIM_TRACE" |
    awk -F'\t' '$2 == "call" && $3 == "IsBusyB" { print NR, $1 }')
[ -n "$inslot" ] || fail "no tick fell into the slot's second 0; the phase of the ticks changed"
# Each press looks at the node once more (IsBusyB too): on a quick host, the first tick and its
# two presses, then at least one more tick, all read inside second 0.
if [ "$SLOW_MS" = 0 ] && [ "$ticks_in_slot" -lt 4 ]; then
    fail "only $ticks_in_slot looks at the node inside second 0: no second tick came there"
fi
announcements=$(trace_lines | grep -c -x "call${T}SpeakText${T}${spoken}")
files=$(trace_lines | grep -c "^call${T}PlayWaveFile${T}")
[ "$announcements" != 0 ] || fail "a tick read the clock $at ms into the slot and pressed nothing"
# That very tick pressed: between its reading and the callsign spoken lies only the
# announcement's own look at the node (one IsBusyB), not a later tick.
looks=$(trace_lines | sed -n "$((inslot + 1)),\$p" | sed "/^call${T}SpeakText${T}${spoken}\$/q" |
    grep -c -x "call${T}IsBusyB")
[ "$looks" = 1 ] || fail "the announcement came $((looks - 1)) ticks after the one in second 0"
[ "$announcements" = 1 ] || fail "$announcements announcements in one slot"
[ "$files" -le 1 ] || fail "$files files in one slot"
[ "$files" = 1 ] || fail "the file was not sent although the node looked idle"
# The time spoken is the faked slot's: " 11 PM" on the hour, " 11 15 PM" past it.
minute=$(date -d "@$slot" +%M)
hour=$(date -d "@$slot" +%-I)
[ "$minute" = 00 ] && said=" $hour " || said=" $hour $minute "
trace_lines | grep -q -F "call${T}SpeakText${T}${said}" ||
    fail "the time spoken is not the slot's ($said): $(trace_lines | grep SpeakText)"
escaped=$(win_path "$wav" | sed 's/\\/\\\\/g')
trace_lines | grep -q -F -x "call${T}PlayWaveFile${T}${escaped}${T}False" ||
    fail "PlayWaveFile did not take the WAV file: $(trace_lines | grep PlayWaveFile)"
echo "slot with IsTransmitting answering after $SLOW_MS ms: passed ($announcements announcement," \
     "$files file, $ticks_in_slot looks at the node inside second 0)"
