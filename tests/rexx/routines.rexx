/* Internal routines: CALL, functions, PROCEDURE EXPOSE, RESULT, SIGL, ARG() */
call add 2, 3
say 'result' result 'sigl' sigl
say 'function' add(10, 20) * 2
call noresult
say 'dropped:' result
say fact(12)
say fib(15)
x = 1; y = 2
call change
say 'x' x 'y' y
call shared
say 'x' x 'y' y
list = 'x'
call indirect
say 'x' x
call counts 'a', , 'c'
call counts
say 'nested' outer(3)
/* settings are restored at return */
numeric digits 9
call digits5
say 'digits back to' digits() 1/3
/* a label may shadow a built-in */
say length('abc')
call 'LENGTH' 'abcd'
say 'quoted name reaches the built-in:' result
exit

add: return arg(1) + arg(2)
noresult: return
fact: procedure
  arg n
  if n <= 1 then return 1
  return n * fact(n - 1)
fib: procedure
  parse arg n
  if n < 2 then return n
  return fib(n - 1) + fib(n - 2)
change: procedure
  x = 'local'
  return
shared: procedure expose x
  x = 'changed'; y = 'invisible'
  return
indirect: procedure expose (list)
  x = 'via list'
  return
counts:
  say 'arg()' arg() 'exists' arg(1, 'E') arg(2, 'E') arg(3, 'E') 'omitted' arg(2, 'O') '[' || arg(3) || ']'
  return
outer: procedure
  parse arg n
  return inner(n) + 1
inner: procedure
  return arg(1) * 10
digits5:
  numeric digits 5
  say 'inside' digits() 1/3
  return
length: return 'own length of' arg(1)
