#!/bin/sh
# Loads and unloads the example plug-in N times in one orvel process and
# prints the time and the peak resident size for several N: the time grows
# with N, the peak size must not (no leak per load). Most of the time is
# the system's mapping and unmapping of the library.
#   bench/lib_load_unload.sh [build/orvel]
ORVEL=${1:-build/orvel}
exec python3 - "$ORVEL" <<'PY'
import os, subprocess, sys, time
orvel = sys.argv[1]
for n in (0, 1000, 10000):
    script = ('set i 0; while {< $i %d} { lib orvel_example; lib orvel_example -unload; incr i }; puts $i' % n)
    start = time.perf_counter()
    p = subprocess.Popen([orvel, '-c', script], stdout=subprocess.PIPE)
    out = p.stdout.read().decode().strip()
    _, status, usage = os.wait4(p.pid, 0)
    took = time.perf_counter() - start
    if status != 0 or out != str(n):
        sys.exit('orvel failed: status %d, output %r' % (status, out))
    cpu = usage.ru_utime + usage.ru_stime
    print('%6d load+unload: %7.3f s elapsed, %7.3f s CPU, peak RSS %6d KB' % (n, took, cpu, usage.ru_maxrss))
PY
