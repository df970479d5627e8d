#!/usr/bin/env bash
# Runs a list of one-line REXX programs and compares what they print with a
# golden file. Every line of FILE.calls that is neither empty nor starts with
# "#" is written to call.rexx and run on its own, so an untrapped error shows its
# full report: the source line, the caret under the offending argument, the
# error line and its secondary message. Each run is headed by "--- LINE" and
# followed by "=== exit N"; "#" lines are copied to the output as they are.
#   run_calls.sh TOLMA FILE.calls [--update]
set -u
tolma=$(realpath "$1") calls=$2 mode=${3:-}
base=${calls%.calls}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
while IFS= read -r line || [ -n "$line" ]; do
    case "$line" in
    '') continue ;;
    '#'*)
        printf '%s\n' "$line"
        continue
        ;;
    esac
    printf -- '--- %s\n' "$line"
    printf '%s\n' "$line" >"$work/call.rexx"
    (cd "$work" && TMPDIR="$work" HOME="$work" "$tolma" call.rexx </dev/null 2>&1)
    echo "=== exit $?"
done <"$calls" >"$work/actual.out"
if [ "$mode" = "--update" ]; then
    cp "$work/actual.out" "$base.out"
    exit 0
fi
if ! diff -u "$base.out" "$work/actual.out"; then
    echo "golden output differs: $calls" >&2
    exit 1
fi
