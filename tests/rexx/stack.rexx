/* The data stack: PUSH, QUEUE, PULL, and reading from the user */
push 'first pushed'
push 'second pushed'
queue 'queued'
say queued()
pull a; say a
parse pull b; say b
parse pull c; say c
say queued()
/* an empty stack reads from standard input */
parse pull line1
say 'read:' line1
pull line2
say 'read upper:' line2
parse linein line3
say 'linein:' line3
parse pull line4
say 'at end: [' || line4 || ']'
