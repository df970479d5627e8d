/* Errors in external routines are reported at the routine file's own lines. */
signal on syntax name trapped
say divide(6, 0)
say 'not reached'
after_divide:
signal on syntax name trapped2
say unmatched()
after_unmatched:
signal on syntax name trapped3
say badparse()
after_badparse:
/* Untrapped: the report names the routine's file and its line. */
say divide(1, 'x')
exit

trapped:
  say 'error' rc 'line' sigl 'text:' sourceline(sigl)
  signal after_divide
trapped2:
  say 'error' rc 'line' sigl 'text:' sourceline(sigl)
  signal after_unmatched
trapped3:
  say 'error' rc 'line' sigl 'text:' sourceline(sigl)
  signal after_badparse
