#!/usr/bin/env bash
# Builds and tests the whole project:
#   linux    Release build in build/, ctest
#   asan     AddressSanitizer + UBSan build in build-asan/, ctest
#   windows  mingw-w64 cross build in build-win/, ctest with the tests
#            running under Wine
# Usage: tools/test_all.sh [linux] [asan] [windows]   (default: all three)
# Environment: JOBS (default 2); BUILD_DIR, ASAN_DIR, WIN_DIR to use other
# build folders; CTEST_TIMEOUT seconds per test (default 600).
# Exits non-zero when any part fails to configure, build or pass.
set -uo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.." || exit 2
ROOT=$PWD
JOBS=${JOBS:-2}
BUILD_DIR=${BUILD_DIR:-build}
ASAN_DIR=${ASAN_DIR:-build-asan}
WIN_DIR=${WIN_DIR:-build-win}
CTEST_TIMEOUT=${CTEST_TIMEOUT:-600}
export HOME=${HOME:-$(getent passwd "$(id -u)" | cut -d: -f6)}

parts=("$@")
[ ${#parts[@]} -eq 0 ] && parts=(linux asan windows)

summary=()
failed=0
total_passed=0
total_failed=0

log() { printf '\n=== %s\n' "$*"; }

# Runs ctest in a build folder, adds its counts to the totals and returns
# its exit status.
run_ctest() {
  local dir=$1 out rc
  out=$(mktemp)
  (cd "$dir" && ctest --output-on-failure --timeout "$CTEST_TIMEOUT" -j"$JOBS") 2>&1 | tee "$out"
  rc=${PIPESTATUS[0]}
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$out" | tail -n1)
  if [[ $line =~ ([0-9]+)\ tests?\ failed\ out\ of\ ([0-9]+) ]]; then
    local f=${BASH_REMATCH[1]} n=${BASH_REMATCH[2]}
    total_failed=$((total_failed + f))
    total_passed=$((total_passed + n - f))
    LAST_COUNTS="$((n - f)) passed, $f failed"
  elif grep -q 'No tests were found' "$out"; then
    LAST_COUNTS="no tests found"
    rc=1
  else
    LAST_COUNTS="no test summary"
    [ "$rc" -eq 0 ] && rc=1
  fi
  rm -f "$out"
  return "$rc"
}

# part NAME DIR CONFIGURE-ARGS...
part() {
  local name=$1 dir=$2
  shift 2
  local start=$SECONDS status=PASS
  LAST_COUNTS=""
  PRE_TEST=${PRE_TEST:-}
  log "$name: configure $dir"
  if ! cmake -S "$ROOT" -B "$dir" "$@"; then
    status="FAIL (configure)"
  else
    log "$name: build $dir"
    if ! cmake --build "$dir" -j"$JOBS"; then
      status="FAIL (build)"
    else
      [ -n "$PRE_TEST" ] && "$PRE_TEST"
      log "$name: test $dir"
      run_ctest "$dir" || status="FAIL (tests)"
    fi
  fi
  local secs=$((SECONDS - start))
  summary+=("$(printf '%-8s %-16s %-26s %4d s' "$name" "$status" "${LAST_COUNTS:+$LAST_COUNTS}" "$secs")")
  [ "$status" = PASS ] || failed=1
}

wine_loader() {
  if [ -n "${WINE:-}" ]; then echo "$WINE"; return; fi
  for w in /usr/lib/wine/wine64 "$(command -v wine64 || true)" "$(command -v wine || true)"; do
    [ -n "$w" ] && [ -x "$w" ] && { echo "$w"; return; }
  done
}

XVFB_PID=""
# Starts Xvfb on the first free display number and exports DISPLAY; without
# Xvfb the window tests start their own server.
start_xvfb() {
  command -v Xvfb >/dev/null || return 0
  local n=99
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  local i
  for i in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.1
  done
  if [ -e "/tmp/.X11-unix/X$n" ]; then
    export DISPLAY=":$n"
    echo "Xvfb on $DISPLAY"
  else
    kill "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
  fi
}
stop_xvfb() {
  if [ -n "$XVFB_PID" ]; then
    kill "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
    unset DISPLAY
  fi
}
trap stop_xvfb EXIT

for p in "${parts[@]}"; do
  case $p in
    linux)
      part linux "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DORVEL_TESTS=ON
      ;;
    asan)
      export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0:strict_string_checks=1}
      export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
      # -O1 with line tables only: a quicker build and readable reports.
      part asan "$ASAN_DIR" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" -DORVEL_SANITIZE=ON -DORVEL_TESTS=ON
      ;;
    windows)
      wine=$(wine_loader)
      if [ -z "$wine" ] || ! command -v x86_64-w64-mingw32-g++-posix >/dev/null; then
        summary+=("$(printf '%-8s %-16s %s' windows "FAIL" "(mingw-w64 or wine missing: see README)")")
        failed=1
        continue
      fi
      export WINEDEBUG=-all
      export WINEPREFIX=$ROOT/$WIN_DIR/wineprefix
      [[ $WIN_DIR = /* ]] && WINEPREFIX=$WIN_DIR/wineprefix
      mkdir -p "$(dirname "$WINEPREFIX")"
      # Create the prefix before the build; just before the tests, start one
      # persistent Wine server and Wine's services so that the tests do not
      # each pay for that.
      # One virtual X server for the whole Windows part: Wine's desktop keeps
      # the display its session started with, so the window tests and the
      # persistent Wine server below must share it.
      start_xvfb
      log "windows: Wine prefix $WINEPREFIX"
      wine_start=$SECONDS
      "$ROOT/cmake/run-under-wine.sh" "$wine" "$WINEPREFIX" cmd /c exit 0 </dev/null >/dev/null 2>&1 || true
      echo "Wine prefix ready after $((SECONDS - wine_start)) s"
      wineserver=$(dirname "$wine")/wineserver
      [ -x "$wineserver" ] || wineserver=$(command -v wineserver || true)
      warm_wine() {
        local t=$SECONDS
        [ -n "$wineserver" ] && timeout 10 "$wineserver" -p 2>/dev/null
        timeout 120 "$ROOT/cmake/run-under-wine.sh" "$wine" "$WINEPREFIX" cmd /c exit 0 </dev/null >/dev/null 2>&1
        echo "Wine started in $((SECONDS - t)) s"
        return 0
      }
      PRE_TEST=warm_wine part windows "$WIN_DIR" -DCMAKE_BUILD_TYPE=Release -DORVEL_TESTS=ON \
        -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" -DORVEL_WINE="$wine"
      [ -n "$wineserver" ] && timeout 30 "$wineserver" -k 2>/dev/null || true
      stop_xvfb
      ;;
    *)
      echo "unknown part: $p (expected linux, asan or windows)" >&2
      exit 2
      ;;
  esac
done

printf '\n=== Summary\n'
for s in "${summary[@]}"; do echo "$s"; done
echo "tests: $total_passed passed, $total_failed failed"
exit "$failed"
