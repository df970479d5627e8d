#!/usr/bin/env bash
# Helpers for end-to-end tests that drive a real program in a detached tmux
# session of a fixed size. Source this file; every test gets its own tmux
# server socket, so tests neither see nor disturb each other or the user's tmux,
# and the server is killed on exit even when the test fails.
#
#   tui_start COLS ROWS COMMAND...   start COMMAND in a fresh session
#   tui_keys KEYS...                 tmux send-keys (key names: Enter, F1, C-a ...)
#   tui_type TEXT                    send TEXT literally
#   tui_screen                       print the pane as text
#   tui_wait_for TEXT [SECONDS]      wait until TEXT is on the screen (default 5 s)
#   tui_resize COLS ROWS             resize the window
#   tui_expect_line N TEXT           line N (1-based) of the screen must come to equal TEXT
#   tui_fail MESSAGE                 print MESSAGE and the screen, exit 1
set -u
TUI_SOCKET="tui-$$-$RANDOM"
TUI_SESSION=t

tui_tmux() { tmux -L "$TUI_SOCKET" "$@"; }

tui_cleanup() { tui_tmux kill-server >/dev/null 2>&1 || true; }
trap tui_cleanup EXIT

tui_start() {
    local cols=$1 rows=$2
    shift 2
    tui_tmux -f /dev/null new-session -d -s "$TUI_SESSION" -x "$cols" -y "$rows" \
        "TERM=xterm-256color $*" || tui_fail "cannot start tmux"
    tui_tmux set-option -t "$TUI_SESSION" status off >/dev/null
    tui_tmux set-option -g -t "$TUI_SESSION" escape-time 0 >/dev/null 2>&1 || true
    tui_tmux resize-window -t "$TUI_SESSION" -x "$cols" -y "$rows" >/dev/null 2>&1 || true
}

tui_keys() { tui_tmux send-keys -t "$TUI_SESSION" "$@"; }
tui_type() { tui_tmux send-keys -t "$TUI_SESSION" -l "$1"; }
tui_screen() { tui_tmux capture-pane -p -t "$TUI_SESSION"; }
tui_resize() { tui_tmux resize-window -t "$TUI_SESSION" -x "$1" -y "$2"; }

tui_wait_for() {
    local text=$1 limit=${2:-5} i
    for ((i = 0; i < limit * 20; i++)); do
        tui_screen | grep -qF -- "$text" && return 0
        sleep 0.05
    done
    tui_fail "timed out waiting for: $text"
}

# The screen may be caught half redrawn on a loaded machine, so the line gets
# a short while to settle before the test fails.
tui_expect_line() {
    local got i
    for ((i = 0; i < 60; i++)); do
        got=$(tui_screen | sed -n "${1}p")
        [ "$got" = "$2" ] && return 0
        sleep 0.05
    done
    tui_fail "line $1 is '$got', expected '$2'"
}

tui_fail() {
    echo "FAIL: $*" >&2
    echo "--- screen:" >&2
    tui_screen >&2 2>/dev/null || true
    exit 1
}
