#!/bin/bash
# Times each program under an interpreter (default: Regina's "rexx"), best of
# three runs, in seconds. A function's own cost per call is its program's time
# minus loop_empty's (scaled to its loop count), divided by its loop count.
cd "$(dirname "$0")"
interp=${1:-rexx}
for f in *.rexx; do
  best=
  for k in 1 2 3; do
    t0=$(date +%s.%N)
    "$interp" "./$f" >/dev/null
    t1=$(date +%s.%N)
    t=$(echo "$t1 - $t0" | bc)
    if [ -z "$best" ] || [ "$(echo "$t < $best" | bc)" = 1 ]; then best=$t; fi
  done
  printf '%-12s %.3f\n' "${f%.rexx}" "$best"
done
