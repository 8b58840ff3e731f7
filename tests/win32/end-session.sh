#!/usr/bin/env bash
# Ends a Wine session (wineboot --end-session) under a running copy of the program on the fake
# host: the program must agree to the end and be gone with exit code 0.
# Usage: end-session.sh <wine-run> <hourmark_fakehost.exe>
set -u
run=$1
exe=$2
dir=$(mktemp -d "${TMPDIR:-/tmp}/hourmark-session.XXXXXX")
trap 'rm -rf "$dir"' EXIT
cp "$exe" "$dir/"
"$run" "$dir/$(basename "$exe")" unattended &
pid=$!
for _ in $(seq 100); do
  [ -e "$dir/started" ] && break
  kill -0 "$pid" 2>/dev/null || { echo "the program ended before the session did"; exit 1; }
  sleep 0.2
done
[ -e "$dir/started" ] || { echo "the program did not start"; kill "$pid"; exit 1; }
HOURMARK_WINE_TIMEOUT=30 "$run" wineboot --end-session
for _ in $(seq 50); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.2
done
if kill -0 "$pid" 2>/dev/null; then
  echo "the program is still running after the end of the session"
  kill "$pid"
  exit 1
fi
wait "$pid"
rc=$?
[ "$rc" -eq 0 ] || { echo "exit code $rc"; exit 1; }
echo "ended with the session"
