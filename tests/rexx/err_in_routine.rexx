/* an error deep in a routine reports its own line */
call level1
exit
level1: procedure
  call level2
  return
level2: procedure
  return 1 + 'two'
