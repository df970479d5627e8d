/* SIGNAL ON NOTREADY goes to the label NOTREADY; with the trap off again,
   the next failure ends the program with error 40 and the message.
   (Regina lets an untrapped stream failure pass and goes on; tolma stops.) */
signal on notready
call linein 'no-such-file.txt', 2
say 'not reached'
notready:
say condition('C') condition('I') condition('D') condition('S') 'from line' sigl
say 'the trap is off now; the next failure is error 40'
call lineout '/', 'x'
say 'not reached either'
