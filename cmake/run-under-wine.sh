#!/bin/sh
# Runs a Windows program under Wine for ctest and the test script:
#   run-under-wine.sh WINE-LOADER PREFIX-DIR PROGRAM.exe [ARG...]
# Wine's own diagnostics are silenced. The Wine prefix (PREFIX-DIR unless
# WINEPREFIX is already set) is created once, under a lock, before the first
# program runs, so that parallel tests do not race to create it.
set -eu
wine=$1
prefix=$2
shift 2
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEPREFIX="${WINEPREFIX:-$prefix}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      timeout 300 "$wine" wineboot -i >/dev/null 2>&1 </dev/null || true
      wineserver=$(dirname "$wine")/wineserver
      [ -x "$wineserver" ] || wineserver=wineserver
      timeout 60 "$wineserver" -w 2>/dev/null || true
    fi
  ) 9>"$WINEPREFIX.lock"
fi
exec "$wine" "$@"
