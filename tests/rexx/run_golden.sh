#!/usr/bin/env bash
# Runs one golden REXX test: tolma PROGRAM.rexx with the arguments of PROGRAM.args
# (one line, optional) and standard input from PROGRAM.in (optional, else empty),
# in a fresh temporary directory. Standard output and standard error are taken
# together, followed by a line "=== exit N"; the result must equal PROGRAM.out.
# Optional helpers: the files of ext/PROGRAM/ are copied into the directory
# first; PROGRAM.env holds NAME=VALUE lines added to the environment, where
# @WORK@ stands for the directory and @PATH@ for the current PATH. The
# directory's name is written WORK in the output.
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
helpers="$(dirname "$prog")/ext/$(basename "$base")"
[ -d "$helpers" ] && cp -R "$helpers/." "$work/"
extra=()
if [ -f "$base.env" ]; then
    while IFS= read -r line || [ -n "$line" ]; do
        [ -z "$line" ] && continue
        line=${line//@WORK@/$work}
        line=${line//@PATH@/$PATH}
        extra+=("$line")
    done <"$base.env"
fi
(
    cd "$work" || exit 99
    # shellcheck disable=SC2086
    env TMPDIR="$work" HOME="$work" "${extra[@]}" "$tolma" "$name" $args <"$input" 2>&1
    echo "=== exit $?"
) >"$work/raw.out"
sed "s|$work|WORK|g" "$work/raw.out" >"$work/actual.out"
if [ "$mode" = "--update" ]; then
    cp "$work/actual.out" "$base.out"
    exit 0
fi
if ! diff -u "$base.out" "$work/actual.out"; then
    echo "golden output differs: $prog" >&2
    exit 1
fi
