#!/usr/bin/env bash
# The screen layer on a real terminal: the first screen, a command typed on the
# command line and run by Enter, a vertical split, a window too small to use and
# enlarged again, and the end of the program when the terminal is told to quit.
. "$(dirname "$0")/tui_lib.sh"
VOREN=$1
work=$(mktemp -d)
trap 'tui_cleanup; rm -rf "$work"' EXIT
cd "$work"

tui_start 81 20 "$VOREN"
tui_wait_for "====>"
tui_expect_line 20 "1:Q  2:E  3:Save  4:Sp  5:x  6:cu  7:U  8:D  9:?  10:h  12:=  S-11:top  S-12:bot"

tui_type "screen 2 vertical"
tui_keys Enter
tui_wait_for "====>                                   ====>"
[ "$(tui_screen | sed -n 1p | grep -o 'Len:' | wc -l)" = 2 ] || tui_fail "two identification lines expected"

tui_type "screen define 10 40 1 1 10 40 5 20"
tui_keys Enter
tui_wait_for "..... Screen 1 overlaps screen 2"
tui_expect_line 2 "====>                                   ====> screen define 10 40 1 1 10 40 5 20"

tui_resize 37 20
for i in $(seq 40); do
    [ -z "$(tui_screen | tr -d ' \n')" ] && break
    sleep 0.05
done
[ -z "$(tui_screen | tr -d ' \n')" ] || tui_fail "a 37-column window shows nothing"
tui_resize 81 20
tui_wait_for "====>"

pid=$(tui_tmux list-panes -t "$TUI_SESSION" -F '#{pane_pid}')
kill -TERM "$pid"
for i in $(seq 40); do
    tui_tmux has-session -t "$TUI_SESSION" 2>/dev/null || exit 0
    sleep 0.05
done
tui_fail "the editor did not end on SIGTERM"
