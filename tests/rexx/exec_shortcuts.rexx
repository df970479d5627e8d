/* Shortcuts of the executor must give the same results as the general way. */
/* The control variable changed by the body: stepping goes on from it. */
do i = 1 to 10
  if i = 3 then i = 7.5
  say 'pass' i
end
say 'after' i
do j = 1 to 3
  j = j || ''
end
say 'j' j
do k = 5 to 1 by -2; say 'k' k; end
do m = 1 to 2 by 0.5; say 'm' m; end
/* Arguments taken where they lie: literals, simple variables, exposed ones. */
s = 'alpha beta gamma'
say word(s, 2) substr(s, 7, 4) length(s)
call show
/* A variable dropped between passes is no longer taken in place. */
v = 'set'
do n = 1 to 2
  say length(v)
  drop v
end
/* Arithmetic shortcuts at their edges. */
say (7 // 3) (-7 // 3) (7 % -2) (5 * 3 - 15) (2 - 2.50) (1.5 + 1.5)
say (999999999 + 1) (12345678 * 100)
numeric digits 5
say (99999 + 1) (123 * 456)
numeric digits
say (10 = 10.0) ('10' == 10) (3 > 2.5) ('a' < 'b') (1e3 >= 1000)
/* An argument that fails stops the call: the fault is trapped. */
signal on syntax name bad
x = length(1 + 'z')
say 'not reached'
bad:
say 'trapped' rc errortext(rc)
/* A built-in's result is made in the variable: a failing call keeps the old
   value, and the variable may be its own argument. */
call kept
/* Tracing switched on inside an expression. */
call trace_demo
exit
kept:
  signal on syntax name kept_after
  k = 'alpha beta'
  k = word(k, 2)
  say 'own argument' k
  k = substr(k, 0)
  say 'not reached'
kept_after:
  say 'after a failed call' k
  return
show: procedure expose s
  say 'exposed' word(s, 3) words(s)
  return
trace_demo:
  y = length(trace('I') 'ab')
  z = 1 + 2
  trace off
  say y z
  return
