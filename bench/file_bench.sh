#!/usr/bin/env bash
# File benchmarks: readfile + writefile of a 100 MB file against cp, and
# reading a 1-million-line file with open/gets/eof against tclsh. Each
# figure is the best of three runs; everything happens in a temporary folder.
# Usage: bench/file_bench.sh [path/to/orvel]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
orvel=$(cd "$(dirname "${1:-$here/../build/orvel}")" && pwd)/$(basename "${1:-$here/../build/orvel}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

best() {  # best wall time of three runs of the command, in seconds
  local b="" t s e
  for _ in 1 2 3; do
    s=$(date +%s.%N)
    "$@" > /dev/null
    e=$(date +%s.%N)
    t=$(echo "$e - $s" | bc -l)
    if [ -z "$b" ] || [ "$(echo "$t < $b" | bc -l)" = 1 ]; then b=$t; fi
  done
  printf '%.3f' "$b"
}

head -c 100000000 /dev/urandom > big.bin
cat big.bin > /dev/null
printf 'readfile big.bin data\nwritefile out.bin data -var\n' > copy.orv
t_cp=$(best cp big.bin out_cp.bin)
t_or=$(best "$orvel" copy.orv)
cmp -s big.bin out.bin || { echo "copy differs"; exit 1; }
printf '%-34s %8s s   cp %8s s   ratio %.2f\n' "readfile+writefile 100 MB" "$t_or" "$t_cp" "$(echo "$t_or / $t_cp" | bc -l)"
rm -f big.bin out.bin out_cp.bin

awk 'BEGIN { for (i = 1; i <= 1000000; i++) printf "line %d of the file with some text in it\n", i }' > lines.txt
cat > count.orv <<'ORV'
set h [open lines.txt]
set n 0
while {! [eof $h]} { gets $h line; incr n }
close $h
puts $n
ORV
cat > count.tcl <<'TCL'
set h [open lines.txt]
set n 0
while {![eof $h]} { gets $h line; incr n }
close $h
puts $n
TCL
[ "$("$orvel" count.orv | tr -d '\r')" = 1000001 ] || { echo "orvel counted wrong"; exit 1; }
t_or=$(best "$orvel" count.orv)
if command -v tclsh > /dev/null; then
  [ "$(tclsh count.tcl)" = 1000001 ] || { echo "tclsh counted wrong"; exit 1; }
  t_tcl=$(best tclsh count.tcl)
  printf '%-34s %8s s   tclsh %5s s   ratio %.2f\n' "1M lines open/gets/eof" "$t_or" "$t_tcl" "$(echo "$t_or / $t_tcl" | bc -l)"
else
  printf '%-34s %8s s   (tclsh not installed)\n' "1M lines open/gets/eof" "$t_or"
fi
