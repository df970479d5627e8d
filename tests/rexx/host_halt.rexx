/* A halt request (SIGINT) while a command runs ends the command and raises HALT */
/* Each command interrupts the interpreter (its parent) itself, then waits */
call on halt name halted
'kill -INT $PPID; exec sleep 100'
say 'after the halted command, rc' rc
r = unix('echo partial; kill -INT $PPID; exec sleep 100', 'out')
say 'capture ended with' r out.0 out.1
'(sleep 1; kill -INT' getpid()') &'
call sleep 100
say 'sleep cut short'
call off halt
signal on halt
'kill -INT $PPID; exec sleep 100'
say 'not reached'
exit 1
halt:
  say 'SIGNAL ON HALT from line' sigl condition('C') condition('I')
  /* no trap now: the program ends with error 4 */
  'kill -INT $PPID; exec sleep 100'
  say 'not reached either'
  exit 2
halted:
  say 'CALL ON HALT from line' sigl condition('C') condition('I')
  return
