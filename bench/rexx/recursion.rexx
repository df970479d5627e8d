/* internal procedure calls with recursion */
say fib(26)
say depth(5000)
exit
fib: procedure
  parse arg n
  if n < 2 then return n
  return fib(n - 1) + fib(n - 2)
depth: procedure
  parse arg n
  if n = 0 then return 0
  return 1 + depth(n - 1)
