#!/usr/bin/env bash
# String LOCATE benchmark over a 1,000,000-line file, against grep -c on the
# same file in the same run:
#   - a string that is on no line (the whole file is searched, WRAP OFF), and
#   - a string that is only on the last line.
# The editor's times come from bench_locate, which reads the file once and
# times each LOCATE alone (best of five). When voren can open files in batch
# mode, the batch run is timed too: (voren -batch -c LOCATE FILE) minus
# (voren -batch FILE) is the cost of the LOCATE. grep's time is the best of
# three runs, page cache warm.
#   bench/locate.sh [BUILD_DIR] [LINES]
set -euo pipefail
build=${1:-build}
lines=${2:-1000000}
bench=$(realpath "$build/bench/locate/bench_locate")
voren=$(realpath "$build/apps/voren" 2>/dev/null || true)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
file=$work/big.txt

awk -v n="$lines" 'BEGIN {
    pad = "abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789 the quick brown fox jumps over";
    for (i = 0; i < n - 1; i++) printf "%08d %s\n", i, substr(pad, 1, 60 + i % 61);
    print "the needle is on the last line"
}' >"$file"

best_of_three() {
    local best="" t start end
    for _ in 1 2 3; do
        start=$(date +%s.%N)
        "$@" >/dev/null 2>&1 || true
        end=$(date +%s.%N)
        t=$(echo "$end - $start" | bc -l)
        if [ -z "$best" ] || [ "$(echo "$t < $best" | bc -l)" = 1 ]; then best=$t; fi
    done
    echo "$best"
}

cat "$file" >/dev/null # warm the page cache
grep_fail=$(best_of_three grep -c zyxwv "$file")
grep_last=$(best_of_three grep -c needle "$file")
read -r fail_time last_time < <("$bench" "$file" "WRAP OFF" "L /zyxwv/" "L /needle/" |
    awk '/^L \/zyxwv\// {f = $3} /^L \/needle\// {l = $3} END {print f, l}')

printf 'file: %d lines, %d bytes\n' "$lines" "$(stat -c %s "$file")"
printf 'grep -c (no match)        %7.4f s\n' "$grep_fail"
printf 'LOCATE failing            %7.4f s   ratio %5.2f (target <= 2)\n' "$fail_time" \
    "$(echo "$fail_time / $grep_fail" | bc -l)"
printf 'grep -c (last line)       %7.4f s\n' "$grep_last"
printf 'LOCATE on the last line   %7.4f s   ratio %5.2f (target <= 2)\n' "$last_time" \
    "$(echo "$last_time / $grep_last" | bc -l)"

# The batch run, when voren reads files in batch mode.
if [ -x "$voren" ] && ! "$voren" -batch "$file" 2>&1 | grep -q 'Not implemented'; then
    load=$(best_of_three "$voren" -batch "$file")
    batch_fail=$(best_of_three "$voren" -batch -c "WRAP OFF" -c "L /zyxwv/" "$file")
    batch_last=$(best_of_three "$voren" -batch -c "L /needle/" "$file")
    printf 'voren -batch, load only   %7.4f s\n' "$load"
    printf 'voren -batch, failing     %7.4f s   LOCATE %7.4f s, ratio %5.2f\n' "$batch_fail" \
        "$(echo "$batch_fail - $load" | bc -l)" "$(echo "($batch_fail - $load) / $grep_fail" | bc -l)"
    printf 'voren -batch, last line   %7.4f s   LOCATE %7.4f s, ratio %5.2f\n' "$batch_last" \
        "$(echo "$batch_last - $load" | bc -l)" "$(echo "($batch_last - $load) / $grep_last" | bc -l)"
else
    echo "voren -batch cannot open files yet: batch timing skipped"
fi
