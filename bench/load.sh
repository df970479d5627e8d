#!/usr/bin/env bash
# Load and load+save benchmark of the editor core in batch mode.
#
# Generates a 1,000,000-line (~100 MB) text file and times, in the same run:
#   wc -l FILE                               (reference for loading)
#   voren -batch FILE                        (load, then the batch run ends)
#   cp FILE COPY                             (reference for loading + saving)
#   voren -batch -c ffile FILE               (load + save, flushed to disk)
# Each is run 3 times and the best time is kept; peak memory comes from
# /usr/bin/time -v (or GNU time's %M when -v is missing).
#   bench/load.sh [BUILD_DIR] [LINES]
# BENCH_DIR chooses where the files go (e.g. /dev/shm to leave the disk out:
# a save is flushed to disk before it reports success, cp is not).
set -euo pipefail
build=${1:-build}
lines=${2:-1000000}
voren=$(realpath "$build/apps/voren")
work=$(mktemp -d -p "${BENCH_DIR:-${TMPDIR:-/tmp}}")
trap 'rm -rf "$work"' EXIT
file=$work/big.txt

awk -v n="$lines" 'BEGIN {
    pad = "abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789 the quick brown fox jumps over";
    for (i = 0; i < n; i++) printf "%08d %s.\n", i, substr(pad, 1, 60 + i % 61);
}' >"$file"
size=$(stat -c %s "$file")

# Best wall time in seconds of three runs of the command.
best_of_three() {
    local best="" t
    for _ in 1 2 3; do
        local start end
        start=$(date +%s.%N)
        "$@" >/dev/null 2>&1
        end=$(date +%s.%N)
        t=$(echo "$end - $start" | bc -l)
        if [ -z "$best" ] || [ "$(echo "$t < $best" | bc -l)" = 1 ]; then best=$t; fi
    done
    echo "$best"
}

peak_kb() {
    /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1
}

cat "$file" >/dev/null # warm the page cache
wc_time=$(best_of_three wc -l "$file")
load_time=$(best_of_three "$voren" -batch "$file")
cp_time=$(best_of_three cp "$file" "$work/copy.txt")
cp "$file" "$work/save.txt"
save_time=$(best_of_three "$voren" -batch -c ffile "$work/save.txt")
cmp -s "$file" "$work/save.txt" || { echo "load+save changed the file" >&2; exit 1; }
load_kb=$(peak_kb "$voren" -batch "$file")
save_kb=$(peak_kb "$voren" -batch -c ffile "$work/save.txt")
budget_kb=$(((size + 48 * lines) / 1024))

printf 'file: %d lines, %d bytes\n' "$lines" "$size"
printf 'wc -l        %7.3f s\n' "$wc_time"
printf 'voren load   %7.3f s   ratio %5.2f (target <= 7)\n' "$load_time" "$(echo "$load_time / $wc_time" | bc -l)"
printf 'cp           %7.3f s\n' "$cp_time"
printf 'voren save   %7.3f s   ratio %5.2f (target <= 4)\n' "$save_time" "$(echo "$save_time / $cp_time" | bc -l)"
printf 'peak memory  load %d KB, load+save %d KB (budget: size + 48 B/line = %d KB)\n' \
    "$load_kb" "$save_kb" "$budget_kb"
