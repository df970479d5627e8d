/* an untrapped wrong call ends the program; the report points at the offending argument */
say 'start'
say left('abc', 2) substr('abcdef', 2, 'x')
say 'never'
