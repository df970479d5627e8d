#!/usr/bin/env bash
# Editing a file on a real terminal: open it, page with PF keys, go to the file
# area with HOME (F10), type over two lines (moving down with the arrow key),
# then FILE it and find the change on disk.
. "$(dirname "$0")/tui_lib.sh"
VOREN=$1
work=$(mktemp -d)
trap 'tui_cleanup; rm -rf "$work"' EXIT
cd "$work"
for i in $(seq 1 60); do echo "line $i"; done > f.txt

tui_start 80 24 "$VOREN" f.txt
tui_wait_for "===== * * * Top of File * * *"
tui_expect_line 11 "===== * * * Top of File * * *"
tui_expect_line 12 "===== line 1"

# PF8 pages forward (20 file-area rows less two), S-F12 to the last line,
# S-F11 back to the top, PF7 back a page.
tui_keys F8
tui_wait_for "===== line 18"
tui_expect_line 11 "===== line 18"
tui_keys S-F12
tui_wait_for "===== * * * End of File * * *"
tui_expect_line 11 "===== line 60"
tui_keys S-F11
tui_wait_for "===== * * * Top of File * * *"
tui_expect_line 11 "===== * * * Top of File * * *"

# F10 puts the cursor on the first line; type over it, move down, type again.
tui_keys F10
sleep 0.2
tui_type "XX"
tui_keys Down
tui_type "YY"
tui_keys Enter
# Enter with the cursor on a file line makes that line current.
tui_wait_for "mod: 1"
tui_expect_line 10 "===== XXne 1"
tui_expect_line 11 "===== liYY 2"
tui_wait_for "mod: 1"

# A command typed with Enter: FILE writes the file and leaves the editor.
tui_type "file"
tui_keys Enter
for i in $(seq 60); do
    tui_tmux has-session -t "$TUI_SESSION" 2>/dev/null || break
    sleep 0.05
done
tui_tmux has-session -t "$TUI_SESSION" 2>/dev/null && tui_fail "FILE of the last file did not end the editor"
[ "$(sed -n 1p f.txt)" = "XXne 1" ] || { echo "FAIL: line 1 on disk is '$(sed -n 1p f.txt)'"; exit 1; }
[ "$(sed -n 2p f.txt)" = "liYY 2" ] || { echo "FAIL: line 2 on disk is '$(sed -n 2p f.txt)'"; exit 1; }
[ "$(wc -l < f.txt)" = 60 ] || { echo "FAIL: f.txt has $(wc -l < f.txt) lines"; exit 1; }
exit 0
