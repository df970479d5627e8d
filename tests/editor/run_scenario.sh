#!/usr/bin/env bash
# Runs one editor batch scenario (NAME.scn) through the real voren binary.
#
# A scenario is a list of directives; the lines after a directive, up to the next
# line starting with "@", are its body ("@@" at the start of a body line stands
# for a literal "@"):
#   @file NAME [noeol]   create NAME in the scenario's directory with the body
#                        (each line ends with LF; noeol: the last one has none)
#   @args WORDS          voren's arguments (default: -batch); split at blanks
#   @command TEXT        a -c "TEXT" option, in order, before the @args words
#   @expect-file NAME [noeol]  after the run NAME must hold exactly the body
#   @expect-absent NAME  after the run NAME must not exist
#   @expect-output       standard output and error together must equal the body
#   @expect-status N     the exit status (default 0)
# Lines before the first directive are comments.
#   run_scenario.sh VOREN NAME.scn
set -u
voren=$1 scn=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/run" "$work/expect"

args=() extra=() expect_status=0 failed=0
directive="" target="" noeol=""

flush() {
    local body="$work/body"
    case "$directive" in
    file | expect-file)
        local dest="$work/run/$target"
        [ "$directive" = expect-file ] && dest="$work/expect/$target"
        mkdir -p "$(dirname "$dest")"
        if [ -n "$noeol" ]; then
            head -c -1 "$body" >"$dest"
        else
            cp "$body" "$dest"
        fi
        ;;
    expect-output) cp "$body" "$work/expect/.output" ;;
    esac
    : >"$body"
}

: >"$work/body"
while IFS= read -r line || [ -n "$line" ]; do
    if [[ $line == @@* ]]; then
        printf '%s\n' "${line:1}" >>"$work/body"
        continue
    fi
    if [[ $line == @* ]]; then
        flush
        read -r word rest <<<"${line:1}"
        directive=$word target="" noeol=""
        case "$word" in
        file | expect-file)
            read -r target flag <<<"$rest"
            [ "${flag:-}" = noeol ] && noeol=1
            [ "$word" = expect-file ] && echo "$target" >>"$work/expect/.files"
            ;;
        expect-absent) echo "$rest" >>"$work/expect/.absent" ;;
        args) read -r -a args <<<"$rest" ;;
        command) extra+=(-c "$rest") ;;
        expect-output | end) ;;
        expect-status) expect_status=$rest ;;
        *) echo "unknown directive @$word in $scn" >&2; exit 2 ;;
        esac
        continue
    fi
    [ -n "$directive" ] && printf '%s\n' "$line" >>"$work/body"
done < <(cat "$scn"; echo "@end")

[ ${#args[@]} -eq 0 ] && args=(-batch)
(cd "$work/run" && HOME="$work/run" "$voren" "${extra[@]}" "${args[@]}" </dev/null >"$work/output" 2>&1)
status=$?

if [ "$status" != "$expect_status" ]; then
    echo "exit status $status, expected $expect_status" >&2
    failed=1
fi
if [ -f "$work/expect/.output" ] && ! diff -u "$work/expect/.output" "$work/output" >&2; then
    echo "output differs" >&2
    failed=1
fi
if [ -f "$work/expect/.files" ]; then
    while read -r f; do
        if ! cmp -s "$work/expect/$f" "$work/run/$f"; then
            echo "file $f differs:" >&2
            diff -u "$work/expect/$f" "$work/run/$f" >&2 || true
            failed=1
        fi
    done <"$work/expect/.files"
fi
if [ -f "$work/expect/.absent" ]; then
    while read -r f; do
        [ -e "$work/run/$f" ] && { echo "file $f exists" >&2; failed=1; }
    done <"$work/expect/.absent"
fi
[ $failed = 0 ] || { echo "--- output was:" >&2; cat "$work/output" >&2; }
exit $failed
