#!/usr/bin/env bash
# 1000 sequential GETs of a small page from a local server: orvel's http
# command against curl fetching the same 1000 URLs in one process. Both open
# a new connection per request (the server closes after each reply).
#   bench/http_bench.sh [build/orvel] [count]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
ORVEL=${1:-build/orvel}
N=${2:-1000}
unset http_proxy HTTP_PROXY https_proxy HTTPS_PROXY all_proxy ALL_PROXY
out=$(mktemp)
python3 bench/http_server.py >"$out" &
server=$!
trap 'kill $server 2>/dev/null; rm -f "$out" "$urls"' EXIT
urls=$(mktemp)
for _ in $(seq 50); do grep -q listening "$out" && break; sleep 0.2; done
port=$(awk '{print $2}' "$out")
url="http://127.0.0.1:$port/44"

now() { date +%s.%N; }
t0=$(now)
"$ORVEL" -c "for {set i 0} {< \$i $N} {incr i} {http $url - page}; puts -nonewline {}"
t1=$(now)
for _ in $(seq "$N"); do echo "url = \"$url\""; echo "output = /dev/null"; done >"$urls"
t2=$(now)
curl -s -K "$urls"
t3=$(now)
awk -v a="$t0" -v b="$t1" -v c="$t2" -v d="$t3" -v n="$N" 'BEGIN {
  o = b - a; k = d - c;
  printf "%d GETs: orvel %.3f s, curl %.3f s, ratio %.2f\n", n, o, k, o / k }'
