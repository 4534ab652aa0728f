#!/usr/bin/env bash
# Times each benchmark program with orvel and, when installed, with tclsh
# and jimsh, and prints the times and orvel's ratio to tclsh.
# Usage: bench/run_bench.sh [path/to/orvel] [program...]
set -u
here=$(cd "$(dirname "$0")" && pwd)
orvel=${1:-$here/../build/orvel}
shift || true
programs=("$@")
[ ${#programs[@]} -gt 0 ] || programs=(loop fib append array list)

timeit() {  # prints seconds, or "-" when the command failed
  local start end out
  start=$(date +%s.%N)
  if out=$("$@" 2>&1); then
    end=$(date +%s.%N)
    printf '%.3f' "$(echo "$end - $start" | bc -l)"
  else
    printf -- '-'
  fi
}

have_tcl=$(command -v tclsh || true)
have_jim=$(command -v jimsh || true)
printf '%-8s %10s %10s %10s %12s %12s\n' program orvel tclsh jimsh orvel/tclsh orvel/jimsh
for p in "${programs[@]}"; do
  o=$(timeit "$orvel" "$here/programs/$p.orv")
  t=-; j=-
  [ -n "$have_tcl" ] && t=$(timeit tclsh "$here/programs/$p.tcl")
  [ -n "$have_jim" ] && j=$(timeit jimsh "$here/programs/$p.tcl")
  rt=-; rj=-
  if [ "$o" != - ] && [ "$t" != - ]; then rt=$(printf '%.2f' "$(echo "$o / $t" | bc -l)"); fi
  if [ "$o" != - ] && [ "$j" != - ]; then rj=$(printf '%.2f' "$(echo "$o / $j" | bc -l)"); fi
  printf '%-8s %10s %10s %10s %12s %12s\n' "$p" "$o" "$t" "$j" "$rt" "$rj"
done
