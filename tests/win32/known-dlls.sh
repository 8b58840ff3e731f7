#!/usr/bin/env bash
# A DLL another account drops in the program's folder is never loaded: each program imports only
# DLLs Windows always takes from System32 (its KnownDLLs), and imports SetDefaultDllDirectories,
# which it calls first thing so that later loads search System32 alone.
# Usage: known-dlls.sh <objdump> <program.exe>...
set -u
objdump=$1
shift
# HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\KnownDLLs on Windows 10 and 11 (the same
# for 32-bit programs), and ntdll, which every process has loaded before its first import.
known=" advapi32.dll clbcatq.dll combase.dll comdlg32.dll coml2.dll gdi32.dll gdiplus.dll
imagehlp.dll imm32.dll kernel32.dll msctf.dll msvcrt.dll normaliz.dll nsi.dll ntdll.dll ole32.dll
oleaut32.dll psapi.dll rpcrt4.dll sechost.dll setupapi.dll shcore.dll shell32.dll shlwapi.dll
user32.dll wldap32.dll ws2_32.dll "
known=${known//$'\n'/ }
status=0
for exe in "$@"; do
    imports=$("$objdump" -p "$exe") || { echo "$objdump cannot read $exe"; status=1; continue; }
    dlls=$(printf '%s\n' "$imports" | sed -n 's/^[[:space:]]*DLL Name: *//p' | tr -d '\r' |
        tr '[:upper:]' '[:lower:]' | sort -u)
    [ -n "$dlls" ] || { echo "$(basename "$exe"): no imports found"; status=1; }
    for dll in $dlls; do
        case $known in
            *" $dll "*) ;;
            *) echo "$(basename "$exe") imports $dll, which Windows may load from the program's folder"
               status=1 ;;
        esac
    done
    printf '%s\n' "$imports" | grep -q -w SetDefaultDllDirectories ||
        { echo "$(basename "$exe") does not call SetDefaultDllDirectories"; status=1; }
    echo "$(basename "$exe"):" $dlls
done
exit "$status"
