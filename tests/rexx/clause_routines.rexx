/* Each assignment shape runs by a routine of its own after its first run;
   every one must still notice what changes between runs. */
/* v = w, with w dropped, exposed or in another generation between runs */
w = 'first'
do n = 1 to 3
  v = w
  say n v
  if n = 1 then drop w
  if n = 2 then w = 'third'
end
call level 'one'
call level 'two'
/* v = 'literal' and v = builtin(...) into a variable that was not set */
do n = 1 to 2
  lit = 'text'
  say lit strip('  x  ') n
  drop lit
end
do n = 1 to 3
  b = strip(' long string of more than thirty-nine bytes in all ')
  say length(b) b
  if n = 2 then drop b
end
/* v = v || e with v dropped and e calling a routine that changes v */
a = 'a'
do n = 1 to 3
  a = a || n
  say a
end
drop a
signal on novalue name dropped
a = a || 'x'
say 'not reached'
dropped:
say 'novalue' condition('D')
c = 'c'
do n = 1 to 2
  c = c || grow()
  say c
end
/* appends to a number, with the blank operator, and one that fails */
n = 5
do k = 1 to 2
  n = n k
  n = n || 0
end
say n
f = 'kept'
signal on syntax name appendfail
do k = 1 to 2
  f = f || (k / (k - 2))
  say f
end
appendfail:
say 'after failure' f
/* v = expression where the expression fails the second time */
signal on syntax
do n = 1 to 2
  d = 10 / (2 - n)
  say 'd' d
end
exit
syntax:
say 'syntax' condition('D') 'd' d
/* a loop whose body is run traced, then untraced again */
do n = 1 to 3
  if n = 2 then trace r
  e = n
  if n = 2 then trace o
end
say 'e' e
exit
level: procedure
  arg word
  do n = 1 to 2
    v = word
    say 'level' v n
    word = word || '+'
  end
  return
grow:
  c = c || '!'
  return '?'
