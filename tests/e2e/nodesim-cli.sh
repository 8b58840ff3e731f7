#!/usr/bin/env bash
# The simulator's command line as a script uses it: every verb answers one line and exits 0, or
# says what is wrong and exits non-zero; close ends the simulator before it returns.
set -u
BUILD=$1 SRC=$2
. "$SRC/tests/e2e/lib.sh"
T=$'\t'

nodesim /RegServer >/dev/null || fail "/RegServer"
nodesim reset >/dev/null || fail "reset"
nodesim trace clear >/dev/null || fail "trace clear"
[ -z "$(nodesim trace)" ] || fail "the trace is not empty after trace clear"

state=$(nodesim state) || fail "state"
[ "$state" = "callsign=QX1SIM-L keyingline=0 transmitting=False busya=False busyb=False rts=False dtr=False recordmode=0 linked=" ] ||
    fail "fresh state: $state"

nodesim callsign QX2CD-L >/dev/null || fail "callsign"
nodesim keyingline 2 >/dev/null || fail "keyingline"
nodesim busy transmitting on >/dev/null || fail "busy transmitting on"
nodesim busy b on >/dev/null || fail "busy b on"
nodesim link QX3EF-L >/dev/null || fail "link"
nodesim link QX4GH-R "Some Body" 10.0.0.9 >/dev/null || fail "link with name and address"
state=$(nodesim state)
[ "$state" = "callsign=QX2CD-L keyingline=2 transmitting=True busya=False busyb=True rts=False dtr=False recordmode=0 linked=QX3EF-L,QX4GH-R" ] ||
    fail "state after the settings: $state"

nodesim unlink QX3EF-L >/dev/null || fail "unlink"
nodesim dtmf '*7*' >/dev/null || fail "dtmf"
nodesim stationlist >/dev/null || fail "stationlist"
expected="event${T}Connected${T}QX3EF-L${T}NodeSim station${T}127.0.0.1
event${T}Connected${T}QX4GH-R${T}Some Body${T}10.0.0.9
event${T}Disconnected${T}QX3EF-L
event${T}DTMFString${T}*7*
event${T}StationListReceived"
[ "$(trace_lines)" = "$expected" ] || fail "the trace of the events: $(trace_lines)"
[ "$(trace_count "event${T}Connected")" = 2 ] || fail "trace_count"
nodesim trace | head -1 | grep -Eq '^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{3}	event	Connected' ||
    fail "the trace's time column: $(nodesim trace | head -1)"

# Mistakes are told, and change nothing.
nodesim fail IsTransmiting typo >/dev/null 2>&1 && fail "fail with a misspelt member"
nodesim keyingline two >/dev/null 2>&1 && fail "keyingline two"
nodesim frobnicate >/dev/null 2>&1
[ $? = 2 ] || fail "an unknown verb must exit 2"
err=$(nodesim lag -5 2>&1 >/dev/null) && fail "lag -5"
# The simulator's own reason, not a bare code, whatever the bitness of either side.
case "$err" in "" | *"error 0x"*) fail "lag -5 printed no reason of the simulator's: $err" ;; esac
nodesim fail IsTransmitting "the radio is gone" | grep -q "the radio is gone" || fail "fail answer"
nodesim fail IsTransmitting off >/dev/null || fail "fail off"

# Close raises Closing and returns once the simulator has ended; a second close finds none.
nodesim close >/dev/null || fail "close"
[ "$(trace_lines | tail -1)" = "event${T}Closing" ] || fail "no Closing in the trace"
[ "$(nodesim close)" = "the simulator is not running" ] || fail "close with none running"
# The next verb starts a fresh simulator through COM.
nodesim state | grep -q '^callsign=QX1SIM-L ' || fail "a verb did not start a new simulator"
nodesim close >/dev/null
echo "nodesim command line: all passed"
