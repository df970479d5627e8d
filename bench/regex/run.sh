#!/usr/bin/env bash
# Builds bench_regex, writes a file of 1,000,000 lines and times each pattern
# with the engine and with grep -c (basic syntax, C locale) on the same file.
#   bench/regex/run.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
ninja -C "$build" bench_regex >/dev/null
bench=$build/bench/regex/bench_regex
data=$build/bench/regex/lines.txt
[ -f "$data" ] || "$bench" --generate "$data" 1000000

patterns=('needle' 'warning' 'quick brown' 'e[a-z]*r [0-9]' '^[A-Z]' 'fox\( jumps\) *over' '[0-9][0-9]*$' 'x\{2\}')
# The engine's figure is the search loop alone (the file is already in memory);
# grep's is the whole command, reading the file from the page cache included.
"$bench" "$data" needle 2>&1 >/dev/null
printf '%-28s %14s %12s %12s\n' pattern lines voren_ms grep_ms
for p in "${patterns[@]}"; do
    ours=$("$bench" "$data" "$p" 2>/dev/null)
    count=$(awk '{print $(NF-3)}' <<<"$ours")
    ms=$(awk '{print $(NF-1)}' <<<"$ours")
    start=$(date +%s%N)
    gcount=$(LC_ALL=C grep -c -G -e "$p" "$data" || true)
    end=$(date +%s%N)
    gms=$(awk -v a="$start" -v b="$end" 'BEGIN{printf "%.1f", (b-a)/1e6}')
    flag=""
    [ "$count" = "$gcount" ] || flag="  (grep counts $gcount)"
    printf '%-28s %14s %12s %12s%s\n' "$p" "$count" "$ms" "$gms" "$flag"
done
