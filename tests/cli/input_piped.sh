#!/bin/sh
# input and input_csv with input from a pipe: prompts, variables, the end of
# input, and a quoted CSV field that runs over two lines.
prog="$1"
fail() { echo "$1:"; printf '%s\n' "$2"; exit 1; }

got=$(printf 'first line\nsecond\n' | "$prog" -c 'puts <[input -prompt "name? "]>; puts [input v]|$v; puts [input w]|<$w>' 2>&1 | tr -d '\r')
expected='name? <first line>
6|second
-1|<>'
[ "$got" = "$expected" ] || fail "input" "$got"

got=$(printf '' | "$prog" -c 'catch {input} m; puts done' 2>&1 | tr -d '\r')
case "$got" in *"input: End of input"*done*) ;; *) fail "input at end of input" "$got";; esac

got=$(printf 'a,"b\nc",d\n1,2\n' | "$prog" -c 'puts [llength [input_csv]]; puts [input_csv x y -prompt "> "]|$x|$y; puts [input_csv z]|<$z>' 2>&1 | tr -d '\r')
expected='3
> 2|1|2
-1|<>'
[ "$got" = "$expected" ] || fail "input_csv" "$got"

got=$(printf 'a,"open\nstill open\n' | "$prog" -c 'catch {input_csv} m; puts done' 2>&1 | tr -d '\r')
case "$got" in *"input_csv: Unterminated quoted field"*done*) ;; *) fail "input_csv unterminated" "$got";; esac
echo ok
