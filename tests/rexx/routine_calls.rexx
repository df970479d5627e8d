/* Internal routine calls: arguments, PARSE ARG of whole arguments, traps
   and variables around calls, recursion */
say 'fib' fib(15) 'depth' depth(300)

/* PARSE ARG of one variable per argument: what the variable holds */
call show 7, -3, 0, 1.50, 2/3, 1e3, 12345678901, ' 8 ', 'abc', '007'
call show 3 * 1.5, 10 - 10.00, 1000000 * 1000, -0.0, 5 // 3, 7 % 2
call show , 'second only'
numeric digits 4
call show 123456, 2/3, 12345
numeric digits
call keep 12, 2/3
call upper_arg 'mixed Case', 'x'
call two_in_one 'one two three', 'a b'
call trace_args 42, 'text'

/* Arguments evaluated by nested calls, with omitted ones */
say 'counts' count(count(1, , 3), count(), count(, 2))
say 'exists' exists(1, , 3) exists(, 2)
say 'nested' add(add(1, add(2, 3)), add(add(4, 5), 6))

/* Traps set in a routine end with it; the caller's are kept */
call set_traps
say 'after set_traps:' not_set_anywhere

/* A procedure's variables do not outlive the call */
call locals 1
call locals 2
call many 100
call locals 3
x = 'outer'
call exposer
say 'x' x 'y' y

/* The same names read again after a call returns */
say 'sums' sum_down(6) sum_down(10)
say 'mixed' mixed(4)

/* INTERPRET of the same texts again, one changing its own variable */
code = "code = 'say ''second run'''; say 'first run'"
interpret code
interpret code
do k = 1 to 3
  interpret 'v' || k '=' k * 10
  interpret 'say v' || k 'k'
end
interpret ''
n = 0
do k = 1 to 14
  interpret 'n = n +' (k // 7)
end
say 'n' n
signal on novalue name caller_novalue
call set_traps
say 'the caller keeps its trap:' still_not_set
exit

fib: procedure
  parse arg n
  if n < 2 then return n
  return fib(n - 1) + fib(n - 2)

depth: procedure
  parse arg n
  if n = 0 then return 0
  return 1 + depth(n - 1)

show: procedure
  parse arg a1, a2, a3, a4, a5, a6, a7, a8, a9, a10
  line = ''
  do i = 1 to arg()
    v = value('a' || i)
    if datatype(v, 'N') then kind = 'n' || (v + 0)
    else kind = 's'
    line = line '[' || v || ']' || kind
  end
  say 'show' arg() || ':' strip(line)
  return

keep: procedure
  parse arg a, b
  numeric digits 3
  say 'keep' a b a + 0 b + 0 a * 1000 b * 1
  return

upper_arg: procedure
  arg a, b
  parse upper arg c
  say 'upper' a b c
  return

two_in_one: procedure
  parse arg first rest, w1 w2
  say 'words' first '|' rest '|' w1 '|' w2
  return

trace_args: procedure
  trace r
  parse arg n, t
  trace o
  say 'traced' n t
  return

count: return arg()
exists: return arg(1, 'e') || arg(2, 'E') || arg(3, 'o') || arg(4, 'O')
add: procedure
  parse arg a, b
  return a + b

set_traps: procedure
  call on error
  signal on novalue
  call on halt name stop_here
  return
caller_novalue: say 'caller novalue at line' sigl condition('D'); exit

locals: procedure
  parse arg k
  say 'locals' k symbol('V1') symbol('V2') symbol('K')
  v1 = k
  if k = 1 then v2 = 'two'
  return

many: procedure
  parse arg n
  do i = 1 to n
    call value 'var' || i, i
  end
  say 'many' var1 var50 var100
  return

exposer: procedure expose x
  y = 'inner'
  say 'inner x' x symbol('Y')
  x = 'changed'
  return

sum_down: procedure
  parse arg n
  if n = 0 then return 0
  s = sum_down(n - 1)
  return n + s + n - n

mixed: procedure
  arg n
  if n = 0 then return 'end'
  a = n * 2
  b = mixed(n - 1)
  return a || '.' || b
