#!/usr/bin/env bash
# Runs every benchmark program with tolma and with Regina (rexx), several
# times each, and prints the median times, the ratio Regina/tolma per
# program and the geometric mean of the ratios.
#   bench/rexx/run.sh [TOLMA] [RUNS] [PROGRAM...]   (names without .rexx; default all)
set -u
here=$(cd "$(dirname "$0")" && pwd)
tolma=${1:-}
[ -n "$tolma" ] || tolma=$here/../../build/apps/tolma
# The programs run from their own directory: make a relative path absolute.
case $tolma in /*) ;; *) tolma=$PWD/$tolma ;; esac
runs=${2:-5}
shift 2 2>/dev/null || shift $#
regina=$(command -v rexx || true)
if [ ! -x "$tolma" ]; then
    echo "no tolma at $tolma (build the tolma_cli target)" >&2
    exit 1
fi
if [ -z "$regina" ]; then
    echo "Regina (rexx) is not installed" >&2
    exit 1
fi

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

# CPU time (user + system) of a command: the machine may be shared, and
# waiting for a processor is nobody's speed. Bash's own timer gives
# milliseconds where time(1) shows hundredths.
time_of() { # command... -> seconds
    local TIMEFORMAT='%3U %3S' t
    t=$( { time "$@" >/dev/null 2>&1; } 2>&1 )
    echo "$t" | awk '{printf "%.3f\n", $1 + $2}'
}

printf '%-18s %10s %10s %8s\n' program tolma regina ratio
logsum=0
count=0
programs=()
if [ $# -gt 0 ]; then
    for name in "$@"; do programs+=("$here/$name.rexx"); done
else
    programs=("$here"/*.rexx)
fi
for prog in "${programs[@]}"; do
    name=$(basename "$prog" .rexx)
    cd "$here" || exit 1
    # Both must agree on the output before their times mean anything.
    t_out=$("$tolma" "$prog" 2>&1)
    r_out=$("$regina" "$prog" 2>&1)
    note=""
    [ "$t_out" != "$r_out" ] && note=" (outputs differ)"
    t=$(for _ in $(seq "$runs"); do time_of "$tolma" "$prog"; done | median)
    r=$(for _ in $(seq "$runs"); do time_of "$regina" "$prog"; done | median)
    ratio=$(echo "$r / $t" | bc -l)
    logsum=$(echo "$logsum + l($ratio)" | bc -l)
    count=$((count + 1))
    printf '%-18s %9.3fs %9.3fs %7.2fx%s\n' "$name" "$t" "$r" "$ratio" "$note"
done
printf '%-18s %31.2fx\n' "geometric mean" "$(echo "e($logsum / $count)" | bc -l)"
