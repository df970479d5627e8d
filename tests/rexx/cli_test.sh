#!/usr/bin/env bash
# The standalone interpreter's command line: the start-up file, a program on
# standard input, arguments from a calling interpreter, the version and help
# options, exit statuses and files that are no programs.
#   cli_test.sh TOLMA
set -u
tolma=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 99
failures=0
check() { # name expected actual
    if [ "$2" != "$3" ]; then
        echo "FAIL $1"
        echo "  expected: $(printf '%q' "$2")"
        echo "  actual:   $(printf '%q' "$3")"
        failures=$((failures + 1))
    fi
}

mkdir home install
cp "$tolma" install/tolma

# The start-up file in the home directory is put in front of the program.
printf 'say "startup" 1 + 1\nfrom_startup = "yes"\n' >home/voren.tolmarc
printf 'say "program" from_startup\nexit 3\n' >prog.rexx
out=$(HOME=$work/home REXXHOME=$work/nowhere install/tolma prog.rexx 2>&1; echo "status $?")
check startup-home "$(printf 'startup 2\nprogram yes\nstatus 3')" "$out"

# Its errors name the start-up file; the program's lines keep their numbers.
printf 'x = 1 +\n' >home/voren.tolmarc
out=$(HOME=$work/home install/tolma prog.rexx 2>&1; echo "status $?")
check startup-error "$(printf '\n    1 (.tolmarc) +++ x = 1 +\n                           ^\nError 55 on line 1 in file "prog.rexx" (while processing ".tolmarc"): Syntax error.\nstatus 55')" "$out"
rm home/voren.tolmarc

# Without one at home, the installation directory's (the executable's own).
printf 'say "installed startup"\n' >install/voren.tolmarc
out=$(HOME=$work/home install/tolma prog.rexx 2>&1)
check startup-install "$(printf 'installed startup\nprogram FROM_STARTUP')" "$out"
# REXXHOME names another installation directory.
mkdir other
printf 'say "other startup"\n' >other/voren.tolmarc
out=$(HOME=$work/home REXXHOME=$work/other install/tolma prog.rexx 2>&1)
check rexxhome "$(printf 'other startup\nprogram FROM_STARTUP')" "$out"
rm install/voren.tolmarc other/voren.tolmarc

# A program from standard input, its arguments as one string.
out=$(echo 'parse arg a b; say arg() a "|" b' | HOME=$work/home install/tolma - one two three)
check stdin "1 one | two three" "$out"

# Arguments passed by a calling interpreter, in hexadecimal.
printf 'say arg() "[" || arg(1) || "][" || arg(2) || "]" arg(2, "E") "[" || arg(3) || "]"\n' >args.rexx
out=$(HOME=$work/home tolma_NB_ARGS=3 tolma_ARG1=6162 tolma_ARG3=782079 install/tolma args.rexx ignored)
check caller-args "3 [ab][] 0 [x y]" "$out"

# Exit statuses.
printf 'exit "text"\n' >t.rexx
HOME=$work/home install/tolma t.rexx
check exit-text 0 $?
printf 'say 1 / 0\n' >z.rexx
HOME=$work/home install/tolma z.rexx >/dev/null 2>&1
check exit-error 51 $?

# Options.
out=$(install/tolma --version)
check version "tolma 3.09 (REXX 4.00 14 Nov 2024)" "$out"
install/tolma --help | grep -q '^usage: tolma'
check help 0 $?
install/tolma >/dev/null 2>&1
check no-program 1 $?
out=$(install/tolma missing.rexx 2>&1; echo "status $?")
check missing "$(printf 'tolma: unable to open file missing.rexx\nstatus 1')" "$out"

# A file that is no text is refused with a message.
printf 'say 1\0\1\2' >bin.rexx
out=$(install/tolma bin.rexx 2>&1; echo "status $?")
check binary "$(printf 'tolma: bin.rexx is not a text file\nstatus 1')" "$out"

# Recursion 10000 deep runs; endless recursion ends in a report.
printf 'say d(10000); exit; d: procedure; parse arg n; if n = 0 then return 0; return 1 + d(n - 1)\n' >deep.rexx
out=$(HOME=$work/home install/tolma deep.rexx 2>&1)
check deep 10000 "$out"
printf 'call r; exit; r: procedure; call r\n' >endless.rexx
out=$(HOME=$work/home install/tolma endless.rexx 2>&1 | grep '^Error')
check endless 'Error 5 on line 1 in file "endless.rexx": Machine resources exhausted.' "$out"

[ "$failures" -eq 0 ] || exit 1
echo "all command-line checks passed"
