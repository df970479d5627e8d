/* the standard streams: LINEIN and PULL share the console input, STDIN
   reads it too; STDOUT, STDERR, LINEOUT and CHAROUT write to the outputs.
   (Regina agrees on the order: CHARIN() takes bytes of the next line and
   LINEIN() the rest of it.) */
say 'lines() with input waiting:' lines() lines('') lines('STDIN')
say 'linein():' linein()
say "linein('stdin'):" linein('stdin')
say 'count 0 reads nothing: [' || linein(, , 0) || ']'
say 'stdin():' stdin()
pull a
say 'pull with an empty stack reads the console:' a
queue 'from the stack'
parse pull b
say 'a queued line comes first:' b
parse pull c
say 'then the console again:' c
say 'charin() reads bytes:' c2x(charin(, , 4))
say 'and the rest of that line:' linein()
call lineout , 'lineout to stdout'
call lineout 'STDOUT', 'lineout to STDOUT by name'
call lineout 'stderr', 'lineout to stderr'
call charout , 'charout'
call charout 'stdout', ' to stdout' || '0a'x
call charout 'Stderr', 'charout to stderr' || '0a'x
r = stdout('stdout writes as it is')
say ''
say 'stdout returned' r
r = stderr('stderr writes as it is' || '0a'x)
say 'stderr returned' r
say 'lineout without a string:' lineout() lineout('stdout')
say 'the last line:' linein()
/* the input holds no more lines: the console readers answer empty */
say 'at the end of input: [' || linein() || '] [' || stdin() || '] [' || charin() || ']' lines()
pull d
say 'pull at the end of input: [' || d || ']'
