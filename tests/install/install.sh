#!/usr/bin/env bash
# The installer as an operator meets it, in a fresh Wine prefix of its own, with /S and, where a
# page or a box is what is checked, by hand through its pages:
# 1. a first install puts the program, the guide, ok.wav, the Start-menu and Startup shortcuts
#    and the Apps & features entry in place, and the installed program starts against the
#    simulator and sends the installed ok.wav;
# 2. installing again over the running HourMark closes it as its close box does (its settings
#    saved), keeps the operator's files, and starts the new program; by hand, the finish page
#    then does not offer to start it;
# 3. a second install in another folder has an Apps & features entry and shortcuts of its own
#    and leaves the first one's alone;
# 4. the uninstaller (by hand: its status line whole, its last box after the progress bar)
#    closes HourMark and removes everything it installed, an ok.wav the operator
#    changed and the other folder's install aside, and nothing else; the other folder's
#    uninstaller then removes that install, its unchanged ok.wav and the folder.
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
uninstall_keys='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall'
# HourMark's Apps & features entries, one a line.
entries() {
    wine reg query "$uninstall_keys" 2>/dev/null | tr -d '\r' | grep -i '\\HourMark' | sort
}
# reg_value NAME [ENTRY]: a value of an entry (the first install's), empty when it or the entry
# is missing.
reg_value() {
    wine reg query "${2:-$uninstall_key}" /v "$1" 2>/dev/null | tr -d '\r' |
        sed -n "s/^ *$1 *REG_[A-Z]* *//p"
}
unix_path() {  # a C:\ path of the prefix, as Linux sees it
    local p=${1//\\//}
    printf '%s/drive_c%s' "$HOURMARK_WINEPREFIX" "${p#C:}"
}

# ---- 1. A first install --------------------------------------------------------------------
wine "$(win_path "$setup")" /S || fail "the installer failed (exit code $?)"
uninstall_key=$(entries)
[ "$(printf '%s\n' "$uninstall_key" | grep -c .)" = 1 ] || fail "Apps & features entries: $uninstall_key"
[[ $uninstall_key =~ \\HourMark-[0-9A-F]{8}$ ]] || fail "the entry is not keyed by its folder: $uninstall_key"
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
[[ $(reg_value OkWav) =~ ^$(stat -c %s "$dir/ok.wav")-[0-9-]+$ ]] ||
    fail "the entry does not tell the installed ok.wav: $(reg_value OkWav)"
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

# The same by hand, through the pages: the finish page does not offer to start the HourMark the
# install has already started again, and nothing brings its window up.
nodesim trace clear >/dev/null
wine "$(win_path "$setup")" >"$WORK/setup-output.txt" 2>&1 &
setup_pid=$!
wine "$(win_path "$BUILD/tests/install/setupdriver.exe")" install >"$WORK/driver.txt" 2>&1 ||
    fail "the pages of the installer: $(tr -d '\r' <"$WORK/driver.txt")"
wait "$setup_pid" || fail "the installer by hand failed"
grep -q '^box' "$WORK/driver.txt" && fail "the installer asked: $(grep '^box' "$WORK/driver.txt")"
grep -q -x 'run: hidden unchecked' <(tr -d '\r' <"$WORK/driver.txt") ||
    fail "the finish page after a restart: $(tr -d '\r' <"$WORK/driver.txt")"
wait_for_trace "call${T}IsBusyA" 30 || fail "the installer by hand did not start HourMark again"
sleep 2
xdotool search --onlyvisible --name '^HourMark - ' >/dev/null 2>&1 && fail "HourMark's window came up"

# ---- 3. A second install, in another folder ---------------------------------------------------
second='C:\Stations\Second'
second_dir=$(unix_path "$second")
wine "$(win_path "$setup")" /S "/D=$second" || fail "the install into $second failed"
[ "$(entries | grep -c .)" = 2 ] || fail "Apps & features entries after a second install: $(entries)"
second_key=$(entries | grep -v -x -F "$uninstall_key")
[ "$(reg_value InstallLocation "$second_key")" = "$second" ] ||
    fail "the second entry: $(reg_value InstallLocation "$second_key")"
[ "$(reg_value DisplayName "$second_key")" = "HourMark ($second)" ] ||
    fail "the second entry's name: $(reg_value DisplayName "$second_key")"
[ "$(reg_value InstallLocation)" = "$location" ] || fail "the second install took the first one's entry"
[ "$(reg_value UninstallString)" = "\"$location\\Uninstall.exe\"" ] ||
    fail "the first entry's UninstallString: $(reg_value UninstallString)"
second_lnk=HourMark\ ${second_key##*-}.lnk
for lnk in "$programs/$second_lnk" "$startup/$second_lnk"; do
    strings -el "$lnk" 2>/dev/null | grep -q -F "$second\hourmark.exe" ||
        fail "no shortcut $lnk to $second\hourmark.exe"
done
for lnk in "$programs/HourMark.lnk" "$startup/HourMark.lnk"; do
    strings -el "$lnk" | grep -q -F "$location\hourmark.exe" || fail "the second install took $lnk"
done
cmp -s "$second_dir/ok.wav" "$BUILD/release-files/ok.wav" || fail "the second folder's ok.wav"

# ---- 4. Out again ----------------------------------------------------------------------------
# uninstall WINDOWS-FOLDER UNIX-FOLDER ENTRY: runs that folder's uninstaller; it hands over to a
# copy of itself and returns at once.
uninstall() {
    wine "$1\\Uninstall.exe" /S || fail "the uninstaller in $1 failed"
    for _ in $(seq 300); do
        [ ! -e "$2/Uninstall.exe" ] && [ -z "$(reg_value DisplayName "$3")" ] && break
        sleep 0.2
    done
    [ ! -e "$2/Uninstall.exe" ] || fail "the uninstaller in $1 is still there after 60 s"
    [ -z "$(reg_value DisplayName "$3")" ] || fail "the Apps & features entry of $1 is still there"
}
# By hand, through the pages: the status line is never cut off, and the box that tells what is
# kept comes when the progress bar has ended.
wine "$location\\Uninstall.exe" || fail "the uninstaller in $location failed"
wine "$(win_path "$BUILD/tests/install/setupdriver.exe")" uninstall >"$WORK/driver.txt" 2>&1 ||
    fail "the pages of the uninstaller: $(tr -d '\r' <"$WORK/driver.txt")"
tr -d '\r' <"$WORK/driver.txt" | grep '^cut: ' && fail "the uninstaller's status line is cut off"
box=$(tr -d '\r' <"$WORK/driver.txt" | grep '^box at ')
[[ $box =~ ^box\ at\ ([0-9]+)/([0-9]+):\ HourMark\ is\ removed\. ]] ||
    fail "the uninstaller's boxes: $(tr -d '\r' <"$WORK/driver.txt")"
[ "${BASH_REMATCH[1]}" = "${BASH_REMATCH[2]}" ] || fail "the box came before the progress bar ended: $box"
[ -z "$(reg_value DisplayName)" ] || fail "the Apps & features entry of $location is still there"
for _ in $(seq 50); do
    [ ! -e "$dir/Uninstall.exe" ] && break
    sleep 0.2
done
[ ! -e "$dir/Uninstall.exe" ] || fail "the uninstaller is still there"
for lnk in "$programs/HourMark.lnk" "$startup/HourMark.lnk"; do
    [ ! -e "$lnk" ] || fail "$lnk is still there"
done
# The other folder's install is whole.
[ "$(entries)" = "$second_key" ] || fail "entries after the first uninstall: $(entries)"
[ "$(reg_value InstallLocation "$second_key")" = "$second" ] || fail "the second entry was changed"
for lnk in "$programs/$second_lnk" "$startup/$second_lnk"; do
    [ -f "$lnk" ] || fail "uninstalling the first install took $lnk"
done
[ -f "$second_dir/hourmark.exe" ] || fail "uninstalling the first install took the second program"
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

# The second install, its ok.wav as installed: nothing of it stays.
uninstall "$second" "$second_dir" "$second_key"
[ -z "$(entries)" ] || fail "entries after both uninstalls: $(entries)"
for lnk in "$programs/$second_lnk" "$startup/$second_lnk"; do
    [ ! -e "$lnk" ] || fail "$lnk is still there"
done
[ ! -e "$second_dir" ] || fail "left in $second: $(ls -A "$second_dir" | tr '\n' ' ')"
echo "install, upgrade over a running HourMark, a second folder, uninstall: passed"
