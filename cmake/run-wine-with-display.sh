#!/bin/sh
# Runs a Windows program that opens windows under Wine:
#   run-wine-with-display.sh XVFB-RUN WINE-RUNNER WINE-LOADER PREFIX PROGRAM.exe [ARG...]
# Wine's desktop belongs to the Wine server session and keeps the display it
# was started with, so every program of a session must see the same display.
# With DISPLAY set (the test script starts one virtual X server for all of
# its Windows tests) the program runs on it. Without one, the session is
# ended before and after the program, which then runs under its own virtual
# X server; the test runs alone, so no other Wine program is cut short.
set -eu
xvfb_run=$1
shift
if [ -n "${DISPLAY:-}" ]; then
  exec "$@"
fi
wine=$2
wineserver=$(dirname "$wine")/wineserver
[ -x "$wineserver" ] || wineserver=wineserver
export WINEPREFIX="${WINEPREFIX:-$3}"
timeout 30 "$wineserver" -k 2>/dev/null || true
timeout 30 "$wineserver" -w 2>/dev/null || true
status=0
"$xvfb_run" -a -s "-screen 0 1280x1024x24" "$@" || status=$?
timeout 30 "$wineserver" -k 2>/dev/null || true
exit "$status"
