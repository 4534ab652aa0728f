#!/bin/sh
# The command line and prompt with input from a pipe (not a terminal):
# commands run one per line, an open brace continues on the next line, the
# end of input ends the loop, and prompt answers its default at the end.
prog="$1"
out=$(printf 'set a 4\nputs [+ $a 1]\nlist {x\ny}\n' | "$prog" -c 'puts "last=[cli]"; puts [prompt "? " none]' 2>&1)
expected='4
5
{x
y}
last={x
y}
? none'
got=$(printf '%s' "$out" | tr -d '\r')
if [ "$got" != "$expected" ]; then
  echo "cli: unexpected output:"; printf '%s\n' "$got"; exit 1
fi
out=$(printf 'typed answer\n' | "$prog" -c 'puts [inputbox Name Title def]' | tr -d '\r')
case "$out" in *"typed answer"*) ;; *) echo "inputbox: $out"; exit 1;; esac
out=$(printf '\n' | "$prog" -c 'puts <[get_fileopen Open /tmp/x]>' | tr -d '\r')
case "$out" in *"</tmp/x>"*) ;; *) echo "get_fileopen default: $out"; exit 1;; esac
out=$(printf '' | "$prog" -c 'prompt' 2>&1 | tr -d '\r')
case "$out" in *"prompt: End of input"*) ;; *) echo "prompt at end of input: $out"; exit 1;; esac
echo ok
