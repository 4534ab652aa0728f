#!/usr/bin/env bash
# Times each benchmark program with orvel and, when installed, with tclsh
# and jimsh, and prints the times and orvel's ratios to both. A time marked
# with "!" belongs to a run whose output differs from orvel's.
# Usage: bench/run_bench.sh [path/to/orvel] [program...]
set -u
here=$(cd "$(dirname "$0")" && pwd)
orvel=${1:-$here/../build/orvel}
shift || true
programs=("$@")
[ ${#programs[@]} -gt 0 ] || programs=(loop fib append array list calls strings struct exec)

outdir=$(mktemp -d)
trap 'rm -rf "$outdir"' EXIT

timeit() {  # timeit NAME CMD...: prints seconds, or "-" when the command failed
  local name=$1 start end
  shift
  start=$(date +%s.%N)
  if "$@" > "$outdir/$name" 2>&1; then
    end=$(date +%s.%N)
    printf '%.3f' "$(echo "$end - $start" | bc -l)"
  else
    printf -- '-'
  fi
}

same() {  # same NAME: the run's output equals orvel's (line ends aside)
  cmp -s <(tr -d '\r' < "$outdir/orvel") <(tr -d '\r' < "$outdir/$1")
}

have_tcl=$(command -v tclsh || true)
have_jim=$(command -v jimsh || true)
printf '%-8s %10s %10s %10s %12s %12s\n' program orvel tclsh jimsh orvel/tclsh orvel/jimsh
for p in "${programs[@]}"; do
  o=$(timeit orvel "$orvel" "$here/programs/$p.orv")
  t=-; j=-
  if [ -n "$have_tcl" ]; then t=$(timeit tcl tclsh "$here/programs/$p.tcl"); [ "$t" != - ] && ! same tcl && t="$t!"; fi
  if [ -n "$have_jim" ]; then j=$(timeit jim jimsh "$here/programs/$p.tcl"); [ "$j" != - ] && ! same jim && j="$j!"; fi
  rt=-; rj=-
  if [ "$o" != - ] && [ "$t" != - ]; then rt=$(printf '%.2f' "$(echo "$o / ${t%!}" | bc -l)"); fi
  if [ "$o" != - ] && [ "$j" != - ]; then rj=$(printf '%.2f' "$(echo "$o / ${j%!}" | bc -l)"); fi
  printf '%-8s %10s %10s %10s %12s %12s\n' "$p" "$o" "$t" "$j" "$rt" "$rj"
done
