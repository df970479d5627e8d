option mixed
/* In MIXED mode a built-in is written in lower case; LEFT goes on to the
   external search. A routine's file is looked up in lower case, its label
   keeps the name as written. */
say 'left:' left('abc', 2)
say 'Shout:' Shout('hi')
call Shout 'again'
say 'result:' result
signal on syntax
say 'LEFT:' LEFT('abc', 2)
exit
syntax:
say 'error' rc 'at line' sigl
