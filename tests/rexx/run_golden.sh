#!/usr/bin/env bash
# Runs one golden REXX test: tolma PROGRAM.rexx with the arguments of PROGRAM.args
# (one line, optional) and standard input from PROGRAM.in (optional, else empty),
# in a fresh temporary directory. Standard output and standard error are taken
# together, followed by a line "=== exit N"; the result must equal PROGRAM.out.
#   run_golden.sh TOLMA PROGRAM.rexx [--update]
set -u
tolma=$1 prog=$2 mode=${3:-}
base=${prog%.rexx}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
args=""
[ -f "$base.args" ] && args=$(head -n 1 "$base.args")
input=/dev/null
[ -f "$base.in" ] && input="$base.in"
cp "$prog" "$work/"
name=$(basename "$prog")
(
    cd "$work" || exit 99
    # shellcheck disable=SC2086
    TMPDIR="$work" HOME="$work" "$tolma" "$name" $args <"$input" 2>&1
    echo "=== exit $?"
) >"$work/actual.out"
if [ "$mode" = "--update" ]; then
    cp "$work/actual.out" "$base.out"
    exit 0
fi
if ! diff -u "$base.out" "$work/actual.out"; then
    echo "golden output differs: $prog" >&2
    exit 1
fi
