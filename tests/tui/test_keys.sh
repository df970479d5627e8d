#!/usr/bin/env bash
# Keys on a real terminal: a key redefined with SET and pressed, PF keys and
# arrows moving through a file (the key listing that SET alone shows), Shift
# and Control function keys, a failed command staying on the command line, an
# "&" command kept, Control and Alt keys, a resize and split screens.
. "$(dirname "$0")/tui_lib.sh"
VOREN=$1
work=$(mktemp -d)
trap 'tui_cleanup; rm -rf "$work"' EXIT
cd "$work"

tui_start 80 24 "$VOREN"
tui_wait_for "====>"

# A failed command stays on the command line with its message.
tui_type "down x"
tui_keys Enter
tui_wait_for "..... Invalid parameters"
tui_expect_line 2 "====> down x"

# SET alone lists the keys in a file of the ring; PF8 pages forward, S-F11 goes
# to the top, Down moves the cursor, Enter on a line makes it current.
for i in $(seq 6); do tui_keys BSpace; done
tui_type "set"
tui_keys Enter
tui_wait_for "setkeys.voren"
tui_wait_for "* * * Top of File * * *"
tui_expect_line 11 "===== * * * Top of File * * *"
tui_keys F8
tui_wait_for "SET S-F12       ONLY command bot"
tui_keys S-F11
tui_wait_for "===== * * * Top of File * * *"
tui_expect_line 11 "===== * * * Top of File * * *"
tui_keys S-F12
tui_wait_for "===== * * * End of File * * *"
tui_expect_line 12 "===== * * * End of File * * *"
tui_keys S-F11
tui_wait_for "===== * * * Top of File * * *"

# A key redefined with SET runs its new definition.
tui_type "set f5 command down 3"
tui_keys Enter
tui_keys F5
tui_wait_for "===== SET F2          ONLY command c_ext"
tui_expect_line 11 "===== SET F2          ONLY command c_ext"

# "&" keeps the command on the command line; Enter runs it again.
tui_type "&down 1"
tui_keys Enter
tui_wait_for "===== SET F3          ONLY command save"
tui_expect_line 11 "===== SET F3          ONLY command save"
tui_expect_line 2 "====> &down 1"
tui_keys Enter
tui_wait_for "===== SET F4          ONLY command c_split"
tui_expect_line 11 "===== SET F4          ONLY command c_split"
for i in $(seq 7); do tui_keys BSpace; done
for i in $(seq 40); do
    [ "$(tui_screen | sed -n 2p)" = "====>" ] && break
    sleep 0.05
done
tui_expect_line 2 "====>"

# Control and Alt with function keys and characters reach their entries.
for k in "c-f2 C-F2" "m-f3 M-F3" "s+c-f4 C-S-F4" "m-q M-q" "^b C-b" "c-r8 C-Up"; do
    set -- $k
    tui_type "set $1 command msg key $1"
    tui_keys Enter
    tui_keys "$2"
    tui_wait_for "key $1"
    tui_expect_line 3 "key $1"
done

# Resize: the PF line follows the bottom of the window.
tui_resize 100 30
tui_wait_for "1:Q  2:E"
tui_expect_line 30 "1:Q  2:E  3:Save  4:Sp  5:x  6:cu  7:U  8:D  9:?  10:h  12:=  S-11:top  S-12:bot"

# Split screens from a command typed with Enter.
tui_type "screen 2"
tui_keys Enter
for i in $(seq 40); do
    [ "$(tui_screen | grep -c '^====>')" = 2 ] && break
    sleep 0.05
done
[ "$(tui_screen | grep -c '^====>')" = 2 ] || tui_fail "two command lines expected"

# Typing in the second screen's command line makes that screen current: the
# command runs there and its message shows in that screen.
first=$(tui_screen | grep -n '^====>' | sed -n 1p | cut -d: -f1)
second=$(tui_screen | grep -n '^====>' | sed -n 2p | cut -d: -f1)
for i in $(seq $((second - first))); do tui_keys Down; done
tui_type "msg in the second screen"
tui_keys Enter
tui_wait_for "in the second screen"
tui_expect_line $((second + 1)) "in the second screen"
