/* Return codes of host commands and the ERROR and FAILURE traps */
'echo plain echo'
say 'echo rc' rc
'false'
say 'false rc' rc
"sh -c 'exit 3'"
say 'exit 3 rc' rc
'no_such_program_hostenv with args'
say 'missing program rc' rc
'no_such_program_hostenv 2>/dev/null; exit $?'
say 'missing through shell syntax rc' rc
'kill -TERM $$'
say 'killed rc' rc

/* CALL ON ERROR: the handler runs, then the clause after the command */
call on error
'false'
say 'after false, rc' rc
"sh -c 'exit 3'"
'no_such_program_hostenv'
call off error

/* A FAILURE trap alone does not take positive codes */
call on failure name failed
'false'
say 'failure trap not taken, rc' rc
call off failure

/* SIGNAL ON ERROR */
signal on error name caught
"sh -c 'exit 5'"
say 'not reached'
exit

error:
  say 'ERROR trap: rc' rc 'sigl' sigl 'C='condition('C') 'I='condition('I'),
      'D='condition('D') 'S='condition('S')
  return

failed:
  say 'FAILURE trap taken'
  return

caught:
  say 'SIGNAL ON ERROR: rc' rc 'sigl' sigl 'C='condition('C') 'I='condition('I'),
      'D='condition('D') 'S='condition('S')
  /* the trap is off after SIGNAL; a failing command now goes on */
  'exit 6'
  say 'trap was off, rc' rc
  exit 0
