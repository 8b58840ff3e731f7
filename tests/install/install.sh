#!/usr/bin/env bash
# The installer as an operator meets it, in a fresh Wine prefix of its own, all with /S:
# 1. a first install puts the program, the guide, ok.wav, the Start-menu and Startup shortcuts
#    and the Apps & features entry in place, and the installed program starts against the
#    simulator and sends the installed ok.wav;
# 2. installing again over the running HourMark closes it as its close box does (its settings
#    saved), keeps the operator's files, and starts the new program;
# 3. the uninstaller closes HourMark and removes everything it installed, and nothing else.
# Usage: install.sh <build tree> <source tree>
set -u
BUILD=$1 SRC=$2
. "$SRC/tests/e2e/lib.sh"
T=$'\t'
WORK=$BUILD/install-test
# Its own prefix: what the installer writes must not meet the other tests' registrations.
export HOURMARK_WINEPREFIX=$WORK/wineprefix
export HOURMARK_WINE_TIMEOUT=120
stop_wine() { WINEPREFIX=$HOURMARK_WINEPREFIX /usr/lib/wine/wineserver -k 2>/dev/null; }
cleanup() {
    local rc=$?
    if [ "$rc" != 0 ]; then
        echo "--- the trace's last lines" >&2
        tr -d '\r' <"$NODESIM_TRACE" 2>/dev/null | tail -30 >&2
        echo "(the prefix is kept for a look: $HOURMARK_WINEPREFIX)" >&2
    fi
    nodesim close >/dev/null 2>&1
    stop_wine
    [ "$rc" = 0 ] && rm -rf "$WORK"
    exit "$rc"
}
trap cleanup EXIT
stop_wine
rm -rf "$WORK"
mkdir -p "$WORK"

# The installer as scripts/release makes it.
(cd "$BUILD" && cpack --config CPackConfig.cmake -G NSIS -B "$WORK/packages" >"$WORK/cpack.txt") ||
    { cat "$WORK/cpack.txt" >&2; fail "cpack"; }
setup=$(ls "$WORK"/packages/HourMark-*-setup.exe 2>/dev/null | head -1)
[ -f "$setup" ] || fail "cpack made no installer"
version=$(basename "$setup" | sed 's/^HourMark-\(.*\)-setup\.exe$/\1/')

wine() { "$SRC/cmake/wine-run" "$@"; }
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\HourMark'
# reg_value NAME: a value of the uninstall entry, empty when it or the entry is missing.
reg_value() {
    wine reg query "$uninstall_key" /v "$1" 2>/dev/null | tr -d '\r' |
        sed -n "s/^ *$1 *REG_[A-Z]* *//p"
}
unix_path() {  # a C:\ path of the prefix, as Linux sees it
    local p=${1//\\//}
    printf '%s/drive_c%s' "$HOURMARK_WINEPREFIX" "${p#C:}"
}

# ---- 1. A first install --------------------------------------------------------------------
wine "$(win_path "$setup")" /S || fail "the installer failed (exit code $?)"
location=$(reg_value InstallLocation)
[ -n "$location" ] || fail "no Apps & features entry (InstallLocation)"
dir=$(unix_path "$location")
appdata=$(unix_path "$(wine cmd /c echo %APPDATA% | tr -d '\r')")
localappdata=$(wine cmd /c echo %LOCALAPPDATA% | tr -d '\r')
programs="$appdata/Microsoft/Windows/Start Menu/Programs"
startup=$(find "$programs" -maxdepth 1 -type d -iname startup | head -1)
[ -n "$startup" ] || fail "no Startup folder in $programs"
[ "$location" = "$localappdata\\Programs\\HourMark" ] ||
    fail "installed into $location, not %LOCALAPPDATA%\\Programs\\HourMark"
cmp -s "$dir/hourmark.exe" "$BUILD/src/win32/hourmark.exe" || fail "hourmark.exe is not the build's"
grep -q 'requestedExecutionLevel level="asInvoker"' "$dir/hourmark.exe" ||
    fail "hourmark.exe carries no manifest"
guide=$dir/HourMarkGuide.txt
[ -s "$guide" ] || fail "no guide"
grep -q $'[^\r]$' "$guide" && fail "a line of the guide does not end with CR LF"
grep -q "Installing next to EchoLink" "$guide" || fail "the guide lacks the install section"
[ "$(head -c 4 "$dir/ok.wav")$(tail -c +9 "$dir/ok.wav" | head -c 8)" = "RIFFWAVEfmt " ] ||
    fail "ok.wav is no WAV file"
[ -f "$dir/Uninstall.exe" ] || fail "no uninstaller"
for lnk in "$programs/HourMark.lnk" "$startup/HourMark.lnk"; do
    [ -f "$lnk" ] || fail "no shortcut $lnk"
    strings -el "$lnk" | grep -q -F "$location\\hourmark.exe" ||
        fail "$lnk does not start $location\\hourmark.exe"
done
# The keyboard's way to the window: the Start-menu shortcut's hot key (the link header's, at
# byte 64: 'H' with Ctrl and Alt), named in the guide.
[ "$(od -An -tx1 -j64 -N2 "$programs/HourMark.lnk" | tr -d ' \n')" = 4806 ] ||
    fail "the Start-menu shortcut has no Ctrl+Alt+H"
grep -q "Ctrl+Alt+H" "$guide" || fail "the guide does not name Ctrl+Alt+H"
[ "$(reg_value DisplayName)" = HourMark ] || fail "DisplayName: $(reg_value DisplayName)"
[ "$(reg_value DisplayVersion)" = "$version" ] || fail "DisplayVersion: $(reg_value DisplayVersion)"
[ -n "$(reg_value Publisher)" ] || fail "no Publisher"
[ "$(reg_value DisplayIcon)" = "$location\\hourmark.exe,0" ] || fail "DisplayIcon: $(reg_value DisplayIcon)"
[ "$(reg_value UninstallString)" = "\"$location\\Uninstall.exe\"" ] ||
    fail "UninstallString: $(reg_value UninstallString)"

# The installed program against the simulator. Keyed on RTS, HourMark clears its RTS box at
# start-up, a change only a save can bring into the file; the file to send is the installed tone.
fresh_simulator
nodesim keyingline 2 >/dev/null || fail "keyingline"
printf '%s\n' '0,0,0' '0,0,0' "$location\\ok.wav" "$location" '1' '1' \
    ',,,,' ',,,,' ',,,,' ',,,,' ',,,,' ',,,,' ',,,,' ',,,,' >"$dir/hourmark.ini"
cp "$dir/hourmark.ini" "$WORK/written.ini"
settings_lines '0,0,0' '0,0,0' "$location\\ok.wav" "$location" ' 0 ' ' 1 ' \
    ',0,,,0' ',0,,,0' ',0,,,0' ',0,,,0' ',0,,,0' ',0,,,0' ',0,,,0' ',0,,,0' >"$WORK/expected.ini"
wine "$location\\hourmark.exe" >"$WORK/first-output.txt" 2>&1 &
HM_PID=$!
wait_for_trace "call${T}IsBusyA" 60 || fail "the installed HourMark did not come up"
nodesim dtmf '000#' >/dev/null || fail "dtmf"
escaped=$(printf '%s' "$location\\ok.wav" | sed 's/\\/\\\\/g')
wait_for_trace "call${T}PlayWaveFile${T}${escaped}${T}False" 10 ||
    fail "the installed ok.wav was not sent: $(trace_lines | grep PlayWaveFile)"
trace_lines | grep "${T}PlayWaveFile${T}" | grep -q -v -x -F "call${T}PlayWaveFile${T}${escaped}${T}False" &&
    fail "the simulator refused the installed ok.wav: $(trace_lines | grep PlayWaveFile)"

# ---- 2. Over the running HourMark ------------------------------------------------------------
# The operator's files, an ok.wav of their own among them.
printf 'operator log line\r\n' >"$dir/HourMarkLog.txt"
printf '<nodes/>\r\n' >"$dir/NodeList.xml"
printf 'RIFF my own prompt' >"$dir/ok.wav"
printf 'RIFF my own rec' >"$dir/rec.wav"
mkdir -p "$WORK/kept"
cp "$dir/HourMarkLog.txt" "$dir/NodeList.xml" "$dir/ok.wav" "$dir/rec.wav" "$WORK/kept/"
expect_file "$dir/hourmark.ini" "$WORK/written.ini" ||
    fail "HourMark rewrote its settings before it was closed"
nodesim trace clear >/dev/null
wine "$(win_path "$setup")" /S || fail "the installer over a running HourMark failed"
wait_hourmark_end 10 || fail "the running HourMark was not closed by the installer"
[ "$HM_RC" = 0 ] || fail "the closed HourMark's exit code: $HM_RC"
expect_file "$dir/hourmark.ini" "$WORK/expected.ini" || fail "the settings were not saved at the close"
for f in HourMarkLog.txt NodeList.xml ok.wav rec.wav; do
    cmp -s "$dir/$f" "$WORK/kept/$f" || fail "the installer changed $f"
done
# The station goes back on the air with the new program.
wait_for_trace "get${T}SysopConfig.KeyingLine" 30 || fail "HourMark was not started again"
wait_for_trace "call${T}IsBusyA" 30 || fail "the restarted HourMark did not come up"

# ---- 3. Out again ----------------------------------------------------------------------------
wine "$location\\Uninstall.exe" /S || fail "the uninstaller failed"
# The uninstaller hands over to a copy of itself and returns at once.
for _ in $(seq 300); do
    [ ! -e "$dir/Uninstall.exe" ] && [ -z "$(reg_value DisplayName)" ] && break
    sleep 0.2
done
[ ! -e "$dir/Uninstall.exe" ] || fail "the uninstaller is still there after 60 s"
[ -z "$(reg_value DisplayName)" ] || fail "the Apps & features entry is still there"
for lnk in "$programs/HourMark.lnk" "$startup/HourMark.lnk"; do
    [ ! -e "$lnk" ] || fail "$lnk is still there"
done
left=$(cd "$dir" && ls -A | sort | tr '\n' ' ')
[ "$left" = "HourMarkLog.txt NodeList.xml hourmark.ini ok.wav rec.wav " ] ||
    fail "left in $location: $left"
# The restarted HourMark was closed, its settings saved once more; it asks the node nothing now.
expect_file "$dir/hourmark.ini" "$WORK/expected.ini" || fail "the settings after the uninstall"
for f in HourMarkLog.txt NodeList.xml ok.wav rec.wav; do
    cmp -s "$dir/$f" "$WORK/kept/$f" || fail "the uninstaller changed $f"
done
before=$(trace_lines | wc -l)
sleep 2
[ "$(trace_lines | wc -l)" = "$before" ] || fail "HourMark still runs after the uninstall"
echo "install, upgrade over a running HourMark, uninstall: passed"
